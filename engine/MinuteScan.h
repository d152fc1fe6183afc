#pragma once
// One minute scan: reports what fell due in a gap before its window, takes from the
// engine's due index the reminders whose moment has come, queues, in stored order, a
// copy of every one due in its window, announces the scan and starts a delivery. Each
// of the three steps is posted to the GUI thread; the scan is dropped with its engine.

#include "engine/DueOccurrences.h"
#include "engine/ReminderEngine.h"

#include <QObject>

#include <optional>

class MinuteScan final : public QObject {
    Q_OBJECT
public:
    // now: the reading of the tick; window: what the scan covers; afterGap: the
    // previous scan's reading when the window does not adjoin it.
    static void start(ReminderEngine* engine, const ClockReading& now, const ScanWindow& window,
                      const std::optional<ClockReading>& afterGap);

private:
    MinuteScan(ReminderEngine* engine, const ClockReading& now, const ScanWindow& window,
               const std::optional<ClockReading>& afterGap);
    void walk();
    void reportGap();
    void announce();
    void startDelivery();

    ReminderEngine* m_engine;
    const ClockReading m_now;
    const ScanWindow m_window;
    const std::optional<ClockReading> m_afterGap;
    // The time zone around the window, looked up once for all rows.
    const TimeZoneSpan m_zone;
};
