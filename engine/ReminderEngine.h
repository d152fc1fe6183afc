#pragma once
// The minute tick and what it starts: on the first tick of every new minute a scan
// finds the reminders due in that minute, queues them, and a delivery hands them out
// one by one through reminderDue. Everything here lives on the GUI thread; the scan
// and the delivery run as steps posted to its event queue.

#include "core/Clock.h"
#include "core/Reminder.h"
#include "core/ReminderRepository.h"

#include <QObject>

#include <chrono>
#include <deque>

class ReminderEngine final : public QObject {
    Q_OBJECT
public:
    // How long after its occurrence a scheduled reminder still falls due.
    static constexpr std::chrono::milliseconds DueWindow{59'000};

    // The scans walk the repository's table in stored order.
    ReminderEngine(const ReminderRepository& reminders, const Clock& clock, Moment programStart,
                   QObject* parent = nullptr);

    // Called every second: the first tick of a new minute (by its number) starts a scan,
    // when the table has rows.
    void tick();
    // Drops the reminders found due and not yet handed out.
    void clearDueQueue() { m_dueQueue.clear(); }
    bool isDelivering() const { return m_delivering; }
    Moment programStart() const { return m_programStart; }

signals:
    // A reminder falls due; its moment is the occurrence that fell due.
    void reminderDue(const Reminder& reminder);
    // A scan as of now has walked the table (before its reminders are handed out).
    void scanned(Moment now);
    // The day of the month of a tick that started a scan differs from the last one's.
    void dayChanged(int day);

private:
    friend class MinuteScan;
    friend class AlertDelivery;

    const ReminderRepository& m_reminders;
    const Clock& m_clock;
    const Moment m_programStart;
    // Reminders found due, oldest first.
    std::deque<Reminder> m_dueQueue;
    // True while a delivery is draining the queue.
    bool m_delivering = false;
    int m_lastScannedMinute = -1;
    int m_lastDay = 0;
};
