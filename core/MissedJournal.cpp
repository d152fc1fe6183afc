#include "core/MissedJournal.h"

#include "core/Occurrence.h"
#include "core/ReminderRepository.h"

#include <algorithm>

int MissedJournal::build(const ReminderTable& table, Moment lastRun, Moment programStart,
                         Moment now, const TimeZoneSpan& zone) {
    struct Found {
        MissedEntry entry;
        bool numbered; // a row without a number sorts before one numbered 0
    };
    std::vector<Found> found;
    for (std::size_t i = 0; i < table.count(); ++i) {
        const ReminderRow& row = table.rowAt(i);
        if (row.flag(Col::AfterStart))
            continue;
        const Moment p = zone.reached(
            previousOccurrence(static_cast<ScheduleKind>(row.word(Col::DateOrDay)),
                               row.word(Col::EMonth), row.moment(Col::Data), rowDays(row), now));
        if (p > lastRun && p <= programStart)
            found.push_back(
                {{row.integer(Col::N), p, row.text(Col::Comment)}, !row.isNull(Col::N)});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.entry.number != b.entry.number)
            return a.entry.number < b.entry.number;
        return !a.numbered && b.numbered;
    });
    m_entries.clear();
    for (Found& f : found)
        m_entries.push_back(std::move(f.entry));
    return count();
}
