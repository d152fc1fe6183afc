#pragma once
// The minute tick and what it starts: the first tick of every new minute scans for the
// reminders due since the previous scan and queues them, and a delivery hands them out
// one by one through reminderDue, each in a step posted to the GUI thread's event queue.
// The scan runs within the tick; the deciding is left to the functions of DueOccurrences.

#include "core/Clock.h"
#include "core/MissedJournal.h"
#include "core/Reminder.h"
#include "core/ReminderRepository.h"
#include "engine/DueIndex.h"
#include "engine/DueOccurrences.h"

#include <QObject>

#include <cstdint>
#include <deque>
#include <optional>

class ReminderEngine final : public QObject {
    Q_OBJECT
public:
    // The scans hand out the repository's reminders in stored order. After-start delays count
    // from programStart's monotonic time.
    ReminderEngine(const ReminderRepository& reminders, const Clock& clock,
                   const ClockReading& programStart, QObject* parent = nullptr);

    // Called at least once a minute, at any moment (the minute wake): a tick in a new
    // minute (or with a new local offset) scans, when the table has rows. The scan reports
    // what fell due in a gap before its window (skipped), queues a copy of every reminder
    // due in its window in stored order, announces itself (scanned) and starts a delivery.
    void tick();
    // The reminders changed (saved, edited or deleted). A reminder saved in the minute of its
    // occurrence after that minute's scan falls due at once: the scan was too early for it
    // and the next one starts after it. An occurrence already handed out in this run is not
    // handed out again, though the reminder was edited since (from its own alert).
    void remindersChanged();
    // Drops the reminders found due and not yet handed out.
    void clearDueQueue() { m_dueQueue.clear(); }
    bool isDelivering() const { return m_delivering; }
    Moment programStart() const { return m_programStart.local; }
    // The reading of the tick that last started a scan (or would have, with an empty
    // table); with the next scan's window it tells the minutes a gap left out.
    const std::optional<ClockReading>& lastScan() const { return m_lastScan; }

signals:
    // A reminder falls due; its moment is the occurrence that fell due.
    void reminderDue(const Reminder& reminder);
    // A scan as of now has walked the table (before its reminders are handed out).
    void scanned(Moment now);
    // The day of the month of a tick that started a scan differs from the last one's.
    void dayChanged(int day);
    // A scan after a gap (the computer slept, or the clock jumped forward) found the
    // scheduled reminders that fell due in it, from the previous scan to this one: each
    // with its latest occurrence there, in stored order. They are not handed out.
    void skipped(const std::vector<MissedOccurrence>& occurrences, Moment from, Moment to);

private:
    void reportGap(const ClockReading& previous, const ScanWindow& window, const ClockReading& now);
    // Queues a copy of the row, due at `due`, and counts the occurrence as handed out.
    void queue(const ReminderRow& row, const DueOccurrence& due);
    // Posts the first delivery step, unless a delivery is draining the queue already: it
    // reads the queue again after every reminder and so hands out what was queued meanwhile.
    void startDelivery();
    // Hands out the oldest queued reminder and posts the next step while more are queued.
    void deliverNext();

    const ReminderRepository& m_reminders;
    const Clock& m_clock;
    const ClockReading m_programStart;
    // Reminders found due, oldest first.
    std::deque<Reminder> m_dueQueue;
    // Each reminder's next due moment, so that a scan looks only at those whose moment came.
    DueIndex m_dueIndex;
    // Scheduled occurrences already found due in this run.
    DeliveredOccurrences m_delivered;
    // True from the start of a delivery until it has emptied the queue.
    bool m_delivering = false;
    std::optional<ClockReading> m_lastScan;
    // The table's version when remindersChanged last looked at it.
    std::uint64_t m_seenVersion = 0;
    int m_lastDay = 0;
};
