#pragma once
// One minute scan: walks the table in stored order, queues a copy of every reminder
// due at its moment, announces the scan and starts a delivery. Each of the three
// steps is posted to the GUI thread; the scan is dropped with its engine.

#include "engine/ReminderEngine.h"

#include <QObject>

#include <chrono>

// Whether a row falls due at now: a scheduled one from its occurrence until the window
// has passed, an after-start one in the minute its delay ends (a delay of 0: in the
// first two seconds of the run), provided it was created before the run began.
bool isDue(const ReminderRow& row, Moment now, Moment programStart,
           std::chrono::milliseconds window);

class MinuteScan final : public QObject {
    Q_OBJECT
public:
    static void start(ReminderEngine* engine, Moment now);

private:
    MinuteScan(ReminderEngine* engine, Moment now);
    void walk();
    void announce();
    void startDelivery();

    ReminderEngine* m_engine;
    const Moment m_now;
};
