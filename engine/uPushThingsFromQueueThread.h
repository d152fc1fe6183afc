#pragma once
// Delivers the alert queue to the main window one record per step, oldest first.
// A delivery started while another drains ends at once: the draining one reads
// the queue again after every record and so delivers what was queued meanwhile.

#include "ReminderEngine.h"

#include <QObject>

class TPushThingsFromQueueThread final : public QObject {
    Q_OBJECT
public:
    static void Create(ReminderEngine* Own);

private:
    explicit TPushThingsFromQueueThread(ReminderEngine* Own);
    void Start();
    void DeliverOne();
    void Continue();
    void Finish();

    ReminderEngine* Own;
    int QCount = 0;
    eventParams MyEvent{};
};
