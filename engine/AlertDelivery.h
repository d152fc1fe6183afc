#pragma once
// Hands the engine's due queue out through reminderDue, one reminder per step, oldest
// first. A delivery started while another drains ends at once: the draining one reads
// the queue again after every reminder and so delivers what was queued meanwhile.

#include "engine/ReminderEngine.h"

#include <QObject>

class AlertDelivery final : public QObject {
    Q_OBJECT
public:
    static void start(ReminderEngine* engine);

private:
    explicit AlertDelivery(ReminderEngine* engine);
    void begin();
    void deliverOne();
    void continueOrFinish();
    void finish();

    ReminderEngine* m_engine;
};
