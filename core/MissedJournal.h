#pragma once
// The occurrences the user was not shown: those missed while the program was not running
// (for every scheduled reminder, its last occurrence after the previous run ended and no
// later than this run's start) and those that fell in a gap between two minute scans of
// this run (the computer slept, or its clock jumped forward), and the alerts an earlier run
// left open or postponed when it ended. One entry per reminder.

#include "core/Moment.h"
#include "core/ReminderTable.h"
#include "core/TimeZoneSpan.h"

#include <cstdint>
#include <string>
#include <vector>

struct MissedOccurrence {
    std::int32_t number = 0;
    Moment occurrence{};
    std::string message;
    // An alert an earlier run left unanswered, rather than an occurrence missed.
    bool carried = false;
};

class MissedJournal final {
public:
    // Builds the journal afresh for the time the program was not running, with those
    // bounds; the occurrences are the last ones as of `now`, each at the local moment the
    // clock reached it (a 02:30 one on the day the clock skips from 02:00 to 03:00: 03:00).
    // Returns the number of entries.
    int build(const ReminderTable& table, Moment lastRun, Moment programStart, Moment now,
              const TimeZoneSpan& zone = TimeZoneSpan());
    // Adds the occurrences found in a gap from `from` to `to`: a reminder keeps one entry,
    // its latest occurrence (with the message found with it), and the bounds widen to take
    // the gap in. Returns the number of entries.
    int merge(const std::vector<MissedOccurrence>& found, Moment from, Moment to);
    // Adds the alerts an earlier run left open or postponed, marked carried, and widens the
    // bounds to take them in: a reminder keeps one entry, the later of its alert and its
    // missed occurrence.
    // Returns the number of entries.
    int carryOver(const std::vector<MissedOccurrence>& alerts);
    // Removes the carried entry of reminder `number`; false when it has none.
    bool dropCarried(std::int32_t number);
    // Follows the reminders after a change: the entry of a reminder no longer in the table
    // goes, the others show their reminder's message as it is now. True when an entry changed.
    bool follow(const ReminderTable& table);

    // In reminder-number order.
    const std::vector<MissedOccurrence>& entries() const { return m_entries; }
    int count() const { return static_cast<int>(m_entries.size()); }
    // The earliest and the latest bound of what was examined (both DayCountEpoch before
    // the first build or merge).
    Moment from() const { return m_from; }
    Moment to() const { return m_to; }

private:
    // Adds `entry` in number order, or puts it in place of the reminder's earlier entry;
    // false when the reminder's entry is later and stays.
    bool keepLatest(const MissedOccurrence& entry);
    void widenBounds(Moment from, Moment to);

    std::vector<MissedOccurrence> m_entries;
    Moment m_from = DayCountEpoch;
    Moment m_to = DayCountEpoch;
    bool m_bounded = false;
};
