#include "engine/MinuteScan.h"

#include "engine/AlertDelivery.h"

MinuteScan::MinuteScan(ReminderEngine* engine, const ClockReading& now, const ScanWindow& window,
                       const std::optional<ClockReading>& afterGap)
    : QObject(engine), m_engine(engine), m_now(now), m_window(window), m_afterGap(afterGap),
      m_zone(engine->m_clock, window.from - ZoneMargin, window.to + ZoneMargin) {
}

void MinuteScan::start(ReminderEngine* engine, const ClockReading& now, const ScanWindow& window,
                       const std::optional<ClockReading>& afterGap) {
    auto* scan = new MinuteScan(engine, now, window, afterGap);
    QMetaObject::invokeMethod(scan, &MinuteScan::walk, Qt::QueuedConnection);
}

void MinuteScan::reportGap() {
    // Only a gap forward: a clock set back skipped nothing.
    if (!m_afterGap || m_afterGap->utc >= m_window.from)
        return;
    const ReminderTable& table = m_engine->m_reminders.table();
    const TimeZoneSpan zone(m_engine->m_clock, m_afterGap->utc - ZoneMargin,
                            m_window.from + ZoneMargin);
    std::vector<MissedOccurrence> skipped;
    for (const DueOccurrence& s :
         skippedOccurrences(table, m_afterGap->utc, m_window.from, zone, m_engine->m_delivered)) {
        const ReminderRow& row = table.rowAt(s.storedIndex);
        skipped.push_back({row.integer(Col::N), s.reached, row.text(Col::Comment)});
    }
    if (!skipped.empty())
        emit m_engine->skipped(skipped, m_afterGap->local, m_now.local);
}

void MinuteScan::walk() {
    reportGap();
    const ReminderTable& table = m_engine->m_reminders.table();
    const std::vector<std::size_t> candidates =
        m_engine->m_dueIndex.takeDue(table, m_window, m_now, m_engine->m_clock);
    for (const DueOccurrence& due : dueOccurrences(table, candidates, m_window, m_zone,
                                                   m_engine->m_programStart, m_engine->m_delivered))
        m_engine->queue(table.rowAt(due.storedIndex), due);
    QMetaObject::invokeMethod(this, &MinuteScan::announce, Qt::QueuedConnection);
}

void MinuteScan::announce() {
    emit m_engine->scanned(m_now.local);
    QMetaObject::invokeMethod(this, &MinuteScan::startDelivery, Qt::QueuedConnection);
}

void MinuteScan::startDelivery() {
    AlertDelivery::start(m_engine);
    deleteLater();
}
