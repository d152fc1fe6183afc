#include "engine/AlertDelivery.h"

AlertDelivery::AlertDelivery(ReminderEngine* engine) : QObject(engine), m_engine(engine) {
}

void AlertDelivery::start(ReminderEngine* engine) {
    auto* delivery = new AlertDelivery(engine);
    QMetaObject::invokeMethod(delivery, &AlertDelivery::begin, Qt::QueuedConnection);
}

void AlertDelivery::begin() {
    if (m_engine->m_delivering) {
        deleteLater();
        return;
    }
    m_engine->m_delivering = true;
    continueOrFinish();
}

void AlertDelivery::deliverOne() {
    const Reminder due = std::move(m_engine->m_dueQueue.front());
    m_engine->m_dueQueue.pop_front();
    emit m_engine->reminderDue(due);
    continueOrFinish();
}

void AlertDelivery::continueOrFinish() {
    // The queue is read again after every reminder, so reminders queued meanwhile go out too.
    if (!m_engine->m_dueQueue.empty())
        QMetaObject::invokeMethod(this, &AlertDelivery::deliverOne, Qt::QueuedConnection);
    else
        finish();
}

void AlertDelivery::finish() {
    m_engine->m_delivering = false;
    deleteLater();
}
