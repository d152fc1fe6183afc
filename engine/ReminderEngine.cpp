#include "engine/ReminderEngine.h"

#include "engine/MinuteScan.h"

ReminderEngine::ReminderEngine(const ReminderRepository& reminders, const Clock& clock,
                               Moment programStart, QObject* parent)
    : QObject(parent), m_reminders(reminders), m_clock(clock), m_programStart(programStart) {
}

void ReminderEngine::tick() {
    const Moment now = m_clock.now().local;
    const CalendarTime c = calendarTime(now);
    if (c.minute == m_lastScannedMinute)
        return;
    m_lastScannedMinute = c.minute;
    if (!m_reminders.isLoaded() || m_reminders.table().count() == 0)
        return;
    MinuteScan::start(this, now);
    if (c.day != m_lastDay) {
        m_lastDay = c.day;
        emit dayChanged(c.day);
    }
}
