#pragma once
// The occurrences missed while the program was not running: for every scheduled
// reminder, its last occurrence after the previous run ended and no later than this
// run's start.

#include "core/Moment.h"
#include "core/ReminderTable.h"
#include "core/TimeZoneSpan.h"

#include <cstdint>
#include <string>
#include <vector>

struct MissedEntry {
    std::int32_t number = 0;
    Moment occurrence{};
    std::string message;
};

class MissedJournal final {
public:
    // Builds the journal afresh; the occurrences are the last ones as of `now`, each at
    // the local moment the clock reached it (a 02:30 one on the day the clock skips from
    // 02:00 to 03:00: 03:00). Returns the number of entries.
    int build(const ReminderTable& table, Moment lastRun, Moment programStart, Moment now,
              const TimeZoneSpan& zone = TimeZoneSpan());
    // In reminder-number order.
    const std::vector<MissedEntry>& entries() const { return m_entries; }
    int count() const { return static_cast<int>(m_entries.size()); }

private:
    std::vector<MissedEntry> m_entries;
};
