#pragma once
// Which reminders fall due in a scan, decided without side effects: the scheduled
// occurrences whose instants lie in the stretch of UTC time since the previous scan,
// minus those already handed out in this run, and the after-start reminders whose delay
// ends in the stretch of monotonic time since then.

#include "core/Clock.h"
#include "core/ReminderTable.h"
#include "core/TimeZoneSpan.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

// The time zone is looked up this far around a window: wide enough for any daylight-saving
// shift of its local moments.
inline constexpr std::chrono::hours ZoneMargin{3};

// What one scan covers.
struct ScanWindow {
    // Scheduled occurrences whose instant lies in (from, to] fall due.
    UtcInstant from;
    UtcInstant to;
    // After-start reminders whose delay ends in (monotonicFrom, monotonicTo] fall due.
    std::chrono::steady_clock::time_point monotonicFrom;
    std::chrono::steady_clock::time_point monotonicTo;
    // The minute of the previous scan is not the one before this scan's: the computer
    // slept or the clock was set forward or back. What fell due in the minutes between
    // is not in (from, to], which then starts with this scan's minute.
    bool gap = false;
};

// Decides for one tick whether it starts a scan, and what the scan covers: a tick
// scans when its whole minute (date, hour and minute, in UTC) or the local offset
// differs from the last scan's. The first scan covers its own minute and the time since
// the program started. Minutes compare in UTC, so a daylight-saving change is no gap.
std::optional<ScanWindow> scanWindow(const std::optional<ClockReading>& lastScan,
                                     const ClockReading& now,
                                     std::chrono::steady_clock::time_point programStart);

// The part of now's minute that the scans have passed over: from the start of the minute to
// the last scan; none while no scan has run in this minute (the next one covers it all).
// No after-start delay ends in it: they end on running time, not on clock minutes.
std::optional<ScanWindow> scannedPartOfMinute(const ClockReading& lastScan,
                                              const ClockReading& now);

// The scheduled occurrences handed out in this run, by reminder number and the
// occurrence's instant, so that a clock set back does not hand any out again. A
// reminder whose row has changed since (it was edited) starts afresh.
class DeliveredOccurrences {
public:
    bool contains(const ReminderRow& row, UtcInstant occurrence) const;
    // Whether that occurrence of the reminder was handed out, though it was edited since.
    bool handedOut(std::int32_t number, UtcInstant occurrence) const;
    void add(const ReminderRow& row, UtcInstant occurrence);

private:
    struct Delivered {
        ReminderRow row; // as it was when its occurrences were handed out
        std::set<UtcInstant> instants;
    };
    std::map<std::int32_t, Delivered> m_byNumber;
};

struct DueOccurrence {
    std::size_t storedIndex = 0;
    // For a scheduled reminder, the occurrence: its instant, and the local moment at
    // which it is reached (a 02:30 reminder on the day the clock skips from 02:00 to
    // 03:00 is reached at 03:00).
    UtcInstant instant{};
    Moment reached{};
};

// The occurrence of one row that falls due in the window, if any. Only a reminder created
// before the run began can fall due after start; a negative delay never does.
std::optional<DueOccurrence> dueOccurrence(const ReminderRow& row, const ScanWindow& window,
                                           const TimeZoneSpan& zone,
                                           const ClockReading& programStart);

// The occurrences of the given rows (stored indexes, ascending) that fall due in the
// window and were not handed out yet, in stored order. The zone is looked up once, by
// the caller; a window shorter than a day holds at most one occurrence of a row.
std::vector<DueOccurrence> dueOccurrences(const ReminderTable& table,
                                          const std::vector<std::size_t>& candidates,
                                          const ScanWindow& window, const TimeZoneSpan& zone,
                                          const ClockReading& programStart,
                                          const DeliveredOccurrences& delivered);

// The scheduled occurrences of the given rows (stored indexes, ascending) in a part of the
// minute already scanned, that were not handed out in this run, not even before an edit:
// rows saved in the minute of their occurrence after its scan.
std::vector<DueOccurrence> passedOverOccurrences(const ReminderTable& table,
                                                 const std::vector<std::size_t>& rows,
                                                 const ScanWindow& scanned,
                                                 const TimeZoneSpan& zone,
                                                 const DeliveredOccurrences& delivered);

// The scheduled occurrences in a gap between two scans, the instants (from, to]: each row's
// latest one there that was not handed out yet, in stored order. After-start reminders are
// never among them: their delays count running time, which a sleep does not add to.
std::vector<DueOccurrence> skippedOccurrences(const ReminderTable& table, UtcInstant from,
                                              UtcInstant to, const TimeZoneSpan& zone,
                                              const DeliveredOccurrences& delivered);
