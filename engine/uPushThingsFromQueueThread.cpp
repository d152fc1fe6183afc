#include "uPushThingsFromQueueThread.h"

TPushThingsFromQueueThread::TPushThingsFromQueueThread(ReminderEngine* own)
    : QObject(own), Own(own) {
}

void TPushThingsFromQueueThread::Create(ReminderEngine* Own) {
    auto* push = new TPushThingsFromQueueThread(Own);
    QMetaObject::invokeMethod(push, &TPushThingsFromQueueThread::Start, Qt::QueuedConnection);
}

void TPushThingsFromQueueThread::Start() {
    if (Own->NotesThreadActive) {
        deleteLater();
        return;
    }
    Own->SetNotesThreadOn();
    Continue();
}

void TPushThingsFromQueueThread::DeliverOne() {
    MyEvent = std::move(Own->AlertQueue.front());
    Own->AlertQueue.pop_front();
    Own->CurrentEvent = MyEvent;
    Own->Host().ShowCurrentNote();
    Continue();
}

void TPushThingsFromQueueThread::Continue() {
    // The count is read again after every record, so records queued meanwhile are delivered too.
    QCount = static_cast<int>(Own->AlertQueue.size());
    if (QCount > 0)
        QMetaObject::invokeMethod(this, &TPushThingsFromQueueThread::DeliverOne,
                                  Qt::QueuedConnection);
    else
        Finish();
}

void TPushThingsFromQueueThread::Finish() {
    Own->SetNotesThreadOff();
    deleteLater();
}
