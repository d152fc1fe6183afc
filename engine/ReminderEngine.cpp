#include "engine/ReminderEngine.h"

#include <algorithm>
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
    const int day = calendarTime(now.local).day;
    if (day != m_lastDay) {
        m_lastDay = day;
        emit dayChanged(day);
    }
    if (window->gap && previous)
        reportGap(*previous, *window, now);
    const ReminderTable& table = m_reminders.table();
    // The time zone around the window, looked up once for all rows.
    const TimeZoneSpan zone(m_clock, window->from - ZoneMargin, window->to + ZoneMargin);
    const std::vector<std::size_t> candidates = m_dueIndex.takeDue(table, *window, now, m_clock);
    for (const DueOccurrence& due :
         dueOccurrences(table, candidates, *window, zone, m_programStart, m_delivered))
        queue(table.rowAt(due.storedIndex), due);
    emit scanned(now.local);
    startDelivery();
}

void ReminderEngine::reportGap(const ClockReading& previous, const ScanWindow& window,
                               const ClockReading& now) {
    // Only a gap forward: a clock set back skipped nothing.
    if (previous.utc >= window.from)
        return;
    const ReminderTable& table = m_reminders.table();
    const TimeZoneSpan zone(m_clock, previous.utc - ZoneMargin, window.from + ZoneMargin);
    std::vector<MissedOccurrence> found;
    for (const DueOccurrence& s :
         skippedOccurrences(table, previous.utc, window.from, zone, m_delivered)) {
        const ReminderRow& row = table.rowAt(s.storedIndex);
        found.push_back({row.number(), s.reached, row.message()});
    }
    if (!found.empty())
        emit skipped(found, previous.local, now.local);
}

void ReminderEngine::remindersChanged() {
    const ReminderTable& table = m_reminders.table();
    const std::optional<std::vector<RowId>> changed = table.changedSince(m_seenVersion);
    m_seenVersion = table.version();
    if (!m_lastScan || !m_reminders.isLoaded())
        return; // the first scan covers its whole minute
    const ClockReading now = m_clock.now();
    const std::optional<ScanWindow> scanned = scannedPartOfMinute(*m_lastScan, now);
    if (!scanned)
        return;
    // The rows changed since the last look; all of them after a load.
    std::vector<std::size_t> rows;
    if (changed) {
        for (const RowId id : *changed)
            if (const std::optional<std::size_t> i = table.indexOf(id))
                rows.push_back(*i);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    } else {
        for (std::size_t i = 0; i < table.count(); ++i)
            rows.push_back(i);
    }
    const TimeZoneSpan zone(m_clock, scanned->from - ZoneMargin, scanned->to + ZoneMargin);
    const std::vector<DueOccurrence> due =
        passedOverOccurrences(table, rows, *scanned, zone, m_delivered);
    for (const DueOccurrence& d : due)
        queue(table.rowAt(d.storedIndex), d);
    if (!due.empty())
        startDelivery();
}

void ReminderEngine::queue(const ReminderRow& row, const DueOccurrence& due) {
    Reminder reminder = reminderFromRow(row);
    if (!reminder.afterStart) {
        reminder.moment = due.reached;
        m_delivered.add(row, due.instant);
    }
    m_dueQueue.push_back(std::move(reminder));
}

void ReminderEngine::startDelivery() {
    if (m_delivering || m_dueQueue.empty())
        return;
    m_delivering = true;
    QMetaObject::invokeMethod(this, &ReminderEngine::deliverNext, Qt::QueuedConnection);
}

void ReminderEngine::deliverNext() {
    if (!m_dueQueue.empty()) {
        const Reminder due = std::move(m_dueQueue.front());
        m_dueQueue.pop_front();
        emit reminderDue(due);
    }
    // Read again after every reminder: what was queued meanwhile goes out too.
    if (m_dueQueue.empty())
        m_delivering = false;
    else
        QMetaObject::invokeMethod(this, &ReminderEngine::deliverNext, Qt::QueuedConnection);
}
