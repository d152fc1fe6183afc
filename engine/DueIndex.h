#pragma once
// Each reminder's next due moment, in time order, so that a scan looks only at the
// reminders whose moment has come instead of walking the whole table. Scheduled rows
// are ordered by the instant of their next occurrence, after-start rows by the
// monotonic time at which their delay ends. The index follows the table through its
// change log, and is built afresh after a load, a gap between scans (sleep, a clock
// set by hand) or a change of the local offset.

#include "core/Clock.h"
#include "core/ReminderTable.h"
#include "core/TimeZoneSpan.h"
#include "engine/DueOccurrences.h"

#include <chrono>
#include <cstdint>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

class DueIndex final {
public:
    // After-start delays count from programStart's monotonic time.
    explicit DueIndex(const ClockReading& programStart);

    // Takes out and returns, in stored order, the stored indexes of the rows whose
    // moment lies at or before the end of the window; every other row cannot fall due
    // in it. The scheduled rows among them go back in with their next moment after the
    // window; after-start rows come out for good (a delay ends once per run).
    std::vector<std::size_t> takeDue(const ReminderTable& table, const ScanWindow& window,
                                     const ClockReading& now, const Clock& clock);

    // The rows in the index (for tests and benchmarks).
    std::size_t size() const { return m_slots.size(); }

private:
    struct Slot {
        bool afterStart = false;
        UtcInstant at{};
        std::chrono::steady_clock::time_point ends{};
    };

    void rebuild(const ReminderTable& table, const Clock& clock, UtcInstant asOf,
                 std::chrono::milliseconds offset);
    void follow(const ReminderTable& table, const std::vector<RowId>& changed);
    void add(RowId id, const ReminderRow& row);
    void remove(RowId id);

    std::set<std::pair<UtcInstant, RowId>> m_byInstant;
    std::set<std::pair<std::chrono::steady_clock::time_point, RowId>> m_byDelayEnd;
    std::unordered_map<RowId, Slot> m_slots;
    // The zone the instants were worked out in, and the instant they are next after.
    TimeZoneSpan m_zone;
    UtcInstant m_asOf{};
    // Past this instant the zone is not known: the index is built again.
    UtcInstant m_horizon{};
    std::chrono::milliseconds m_offset{};
    std::uint64_t m_version = 0;
    bool m_built = false;
    const ClockReading m_programStart;
};
