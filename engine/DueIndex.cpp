#include "engine/DueIndex.h"

#include "core/Occurrence.h"
#include "core/ReminderRepository.h"

#include <algorithm>

namespace {

using namespace std::chrono;

// The zone is looked up this far ahead; a row due later waits for the next build.
constexpr days Ahead{400};

// Longer delays never end within a run (and would not fit the monotonic arithmetic).
constexpr minutes LongestDelay = hours{24 * 366 * 100};

// The first occurrence after `from`, as the minute scans find them: a weekly reminder
// without weekdays counts from each day's own date, so it falls due every day at its time.
Moment nextScanned(const ReminderRow& row, Moment from) {
    WeekDays days = row.weekDays();
    if (row.kind() == ScheduleKind::Weekly &&
        std::none_of(days.begin(), days.end(), [](bool d) { return d; }))
        days.fill(true);
    return nextOccurrence(row.kind(), row.monthDay(), row.moment(), days, from);
}

} // namespace

DueIndex::DueIndex(const ClockReading& programStart) : m_programStart(programStart) {
}

std::vector<std::size_t> DueIndex::takeDue(const ReminderTable& table, const ScanWindow& window,
                                           const ClockReading& now, const Clock& clock) {
    const milliseconds offset = now.local.time_since_epoch() - now.utc.time_since_epoch();
    std::optional<std::vector<RowId>> changed = table.changedSince(m_version);
    if (!m_built || !changed || window.gap || offset != m_offset || window.to >= m_horizon)
        rebuild(table, clock, window.from, offset);
    else
        follow(table, *changed);
    m_version = table.version();

    std::vector<RowId> taken;
    for (auto it = m_byInstant.begin(); it != m_byInstant.end() && it->first <= window.to;) {
        taken.push_back(it->second);
        m_slots.erase(it->second);
        it = m_byInstant.erase(it);
    }
    for (auto it = m_byDelayEnd.begin();
         it != m_byDelayEnd.end() && it->first <= window.monotonicTo;) {
        taken.push_back(it->second);
        m_slots.erase(it->second);
        it = m_byDelayEnd.erase(it);
    }
    std::vector<std::size_t> stored;
    stored.reserve(taken.size());
    m_asOf = window.to;
    for (RowId id : taken) {
        const std::optional<std::size_t> i = table.indexOf(id);
        if (!i)
            continue;
        stored.push_back(*i);
        if (!table.rowAt(*i).isAfterStart())
            add(id, table.rowAt(*i)); // back with its next moment
    }
    std::sort(stored.begin(), stored.end());
    return stored;
}

void DueIndex::rebuild(const ReminderTable& table, const Clock& clock, UtcInstant asOf,
                       milliseconds offset) {
    m_byInstant.clear();
    m_byDelayEnd.clear();
    m_slots.clear();
    m_zone = TimeZoneSpan(clock, asOf - days{1}, asOf + Ahead);
    m_horizon = asOf + Ahead - days{1};
    m_asOf = asOf;
    m_offset = offset;
    m_built = true;
    m_slots.reserve(table.count());
    for (std::size_t i = 0; i < table.count(); ++i)
        add(table.idAt(i), table.rowAt(i));
}

void DueIndex::follow(const ReminderTable& table, const std::vector<RowId>& changed) {
    for (RowId id : changed) {
        remove(id);
        if (const ReminderRow* row = table.find(id))
            add(id, *row);
    }
}

void DueIndex::add(RowId id, const ReminderRow& row) {
    Slot slot;
    if (row.isAfterStart()) {
        // Only a reminder created before the run began counts; a negative delay never does.
        const minutes delay{row.minutesAfterStart()};
        if (row.created() > m_programStart.local || delay < minutes{0} || delay > LongestDelay)
            return;
        slot.afterStart = true;
        slot.ends = m_programStart.monotonic + delay;
        m_byDelayEnd.emplace(slot.ends, id);
    } else {
        // The first occurrence reached after m_asOf. In an hour the clock shows twice,
        // the first showing of the next occurrence may lie before it.
        const Moment next = nextScanned(row, m_zone.toLocal(m_asOf));
        slot.at = m_zone.toUtc(next);
        if (slot.at <= m_asOf) {
            if (row.kind() == ScheduleKind::Once)
                return; // once only, and past
            slot.at = m_zone.toUtc(nextScanned(row, next));
        }
        if (slot.at <= m_asOf || slot.at > m_horizon)
            return; // beyond the known zone: the build at the horizon takes it in
        m_byInstant.emplace(slot.at, id);
    }
    m_slots.emplace(id, slot);
}

void DueIndex::remove(RowId id) {
    const auto it = m_slots.find(id);
    if (it == m_slots.end())
        return;
    if (it->second.afterStart)
        m_byDelayEnd.erase({it->second.ends, id});
    else
        m_byInstant.erase({it->second.at, id});
    m_slots.erase(it);
}
