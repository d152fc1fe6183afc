#include "engine/DueOccurrences.h"

#include "core/ReminderRepository.h"

#include <algorithm>

namespace {

using namespace std::chrono;

// Longer delays never end within a run (and would not fit the monotonic arithmetic).
constexpr minutes LongestDelay = hours{24 * 366 * 100};

milliseconds offsetOf(const ClockReading& r) {
    return r.local.time_since_epoch() - r.utc.time_since_epoch();
}

// The row's occurrence in the window; fromLocal is the window's start as local time.
std::optional<DueOccurrence> dueIn(const ReminderRow& row, const ScanWindow& window,
                                   Moment fromLocal, const TimeZoneSpan& zone,
                                   const ClockReading& programStart) {
    if (row.isAfterStart()) {
        if (row.created() > programStart.local)
            return std::nullopt;
        const minutes delay{row.minutesAfterStart()};
        if (delay < minutes{0} || delay > LongestDelay)
            return std::nullopt;
        const steady_clock::time_point ends = programStart.monotonic + delay;
        if (ends <= window.monotonicFrom || ends > window.monotonicTo)
            return std::nullopt;
        return DueOccurrence{};
    }
    // A local moment not after fromLocal stands for an instant not after window.from, so
    // the first occurrence after it is the only one that can lie in the window.
    const Moment occurrence = rowNextOccurrence(row, fromLocal);
    const UtcInstant at = zone.toUtc(occurrence);
    if (at <= window.from || at > window.to)
        return std::nullopt;
    return DueOccurrence{0, at, zone.toLocal(at)};
}

} // namespace

std::optional<ScanWindow> scanWindow(const std::optional<ClockReading>& lastScan,
                                     const ClockReading& now,
                                     steady_clock::time_point programStart) {
    const UtcInstant minute = floor<minutes>(now.utc);
    ScanWindow window;
    window.to = now.utc;
    window.monotonicTo = now.monotonic;
    // Unless the previous scan's minute adjoins this one, the window is this minute.
    window.from = minute - milliseconds{1};
    if (!lastScan) {
        // A delay of 0 ends at the start itself.
        window.monotonicFrom = programStart - nanoseconds{1};
        return window;
    }
    const UtcInstant lastMinute = floor<minutes>(lastScan->utc);
    if (lastMinute == minute && offsetOf(*lastScan) == offsetOf(now))
        return std::nullopt;
    window.monotonicFrom = lastScan->monotonic;
    if (lastScan->utc <= now.utc && minute - lastMinute <= minutes{1})
        window.from = lastScan->utc;
    else
        window.gap = true;
    return window;
}

std::optional<ScanWindow> scannedPartOfMinute(const ClockReading& lastScan,
                                              const ClockReading& now) {
    ScanWindow window;
    window.from = floor<minutes>(now.utc) - milliseconds{1};
    window.to = std::min(now.utc, lastScan.utc);
    window.monotonicFrom = window.monotonicTo = now.monotonic;
    if (window.to <= window.from)
        return std::nullopt;
    return window;
}

bool DeliveredOccurrences::contains(const ReminderRow& row, UtcInstant occurrence) const {
    const auto it = m_byNumber.find(row.number());
    return it != m_byNumber.end() && it->second.row == row &&
           it->second.instants.count(occurrence) > 0;
}

bool DeliveredOccurrences::handedOut(std::int32_t number, UtcInstant occurrence) const {
    const auto it = m_byNumber.find(number);
    return it != m_byNumber.end() && it->second.instants.count(occurrence) > 0;
}

void DeliveredOccurrences::add(const ReminderRow& row, UtcInstant occurrence) {
    Delivered& delivered = m_byNumber[row.number()];
    if (!(delivered.row == row)) {
        delivered.row = row;
        delivered.instants.clear();
    }
    delivered.instants.insert(occurrence);
}

std::optional<DueOccurrence> dueOccurrence(const ReminderRow& row, const ScanWindow& window,
                                           const TimeZoneSpan& zone,
                                           const ClockReading& programStart) {
    return dueIn(row, window, zone.toLocal(window.from), zone, programStart);
}

std::vector<DueOccurrence> dueOccurrences(const ReminderTable& table,
                                          const std::vector<std::size_t>& candidates,
                                          const ScanWindow& window, const TimeZoneSpan& zone,
                                          const ClockReading& programStart,
                                          const DeliveredOccurrences& delivered) {
    std::vector<DueOccurrence> due;
    const Moment fromLocal = zone.toLocal(window.from);
    for (const std::size_t i : candidates) {
        const ReminderRow& row = table.rowAt(i);
        std::optional<DueOccurrence> d = dueIn(row, window, fromLocal, zone, programStart);
        if (!d || (!row.isAfterStart() && delivered.contains(row, d->instant)))
            continue;
        d->storedIndex = i;
        due.push_back(*d);
    }
    return due;
}

std::vector<DueOccurrence> passedOverOccurrences(const ReminderTable& table,
                                                 const std::vector<std::size_t>& rows,
                                                 const ScanWindow& scanned,
                                                 const TimeZoneSpan& zone,
                                                 const DeliveredOccurrences& delivered) {
    std::vector<DueOccurrence> due;
    const Moment fromLocal = zone.toLocal(scanned.from);
    for (const std::size_t i : rows) {
        const ReminderRow& row = table.rowAt(i);
        if (row.isAfterStart())
            continue;
        // The start of the run counts only for after-start rows.
        std::optional<DueOccurrence> d = dueIn(row, scanned, fromLocal, zone, ClockReading{});
        if (!d || delivered.handedOut(row.number(), d->instant))
            continue;
        d->storedIndex = i;
        due.push_back(*d);
    }
    return due;
}

std::vector<DueOccurrence> skippedOccurrences(const ReminderTable& table, UtcInstant from,
                                              UtcInstant to, const TimeZoneSpan& zone,
                                              const DeliveredOccurrences& delivered) {
    std::vector<DueOccurrence> skipped;
    if (to <= from)
        return skipped;
    const Moment toLocal = zone.toLocal(to);
    for (std::size_t i = 0; i < table.count(); ++i) {
        const ReminderRow& row = table.rowAt(i);
        if (row.isAfterStart())
            continue;
        const UtcInstant at = zone.toUtc(rowPreviousOccurrence(row, toLocal));
        if (at <= from || at > to || delivered.contains(row, at))
            continue;
        skipped.push_back({i, at, zone.toLocal(at)});
    }
    return skipped;
}
