#include "engine/ReminderEngine.h"

#include "engine/MinuteScan.h"

#include <utility>

ReminderEngine::ReminderEngine(const ReminderRepository& reminders, const Clock& clock,
                               const ClockReading& programStart, QObject* parent)
    : QObject(parent), m_reminders(reminders), m_clock(clock), m_programStart(programStart),
      m_dueIndex(programStart) {
}

void ReminderEngine::tick() {
    const ClockReading now = m_clock.now();
    const std::optional<ScanWindow> window = scanWindow(m_lastScan, now, m_programStart.monotonic);
    if (!window)
        return;
    const std::optional<ClockReading> previous = std::exchange(m_lastScan, now);
    if (!m_reminders.isLoaded() || m_reminders.table().count() == 0)
        return;
    MinuteScan::start(this, now, *window, window->gap ? previous : std::nullopt);
    const int day = calendarTime(now.local).day;
    if (day != m_lastDay) {
        m_lastDay = day;
        emit dayChanged(day);
    }
}
