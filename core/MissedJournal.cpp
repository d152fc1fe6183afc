#include "core/MissedJournal.h"

#include "core/ReminderRepository.h"

#include <algorithm>
#include <unordered_map>

int MissedJournal::build(const ReminderTable& table, Moment lastRun, Moment programStart,
                         Moment now, const TimeZoneSpan& zone) {
    struct Found {
        MissedOccurrence entry;
        bool numbered; // a row without a number sorts before one numbered 0
    };
    std::vector<Found> found;
    for (std::size_t i = 0; i < table.count(); ++i) {
        const ReminderRow& row = table.rowAt(i);
        if (row.flag(Col::AfterStart))
            continue;
        const Moment p = zone.reached(rowPreviousOccurrence(row, now));
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
    m_bounded = false;
    widenBounds(lastRun, programStart);
    return count();
}

int MissedJournal::merge(const std::vector<MissedOccurrence>& found, Moment from, Moment to) {
    for (const MissedOccurrence& f : found)
        keepLatest(f);
    widenBounds(from, to);
    return count();
}

int MissedJournal::carryOver(const std::vector<MissedOccurrence>& alerts) {
    for (MissedOccurrence a : alerts) {
        a.carried = true;
        // The caption's period takes a listed alert in.
        if (keepLatest(a))
            widenBounds(a.occurrence, a.occurrence);
    }
    return count();
}

bool MissedJournal::dropCarried(std::int32_t number) {
    return std::erase_if(m_entries, [number](const MissedOccurrence& e) {
               return e.carried && e.number == number;
           }) > 0;
}

bool MissedJournal::keepLatest(const MissedOccurrence& entry) {
    const auto at = std::lower_bound(
        m_entries.begin(), m_entries.end(), entry.number,
        [](const MissedOccurrence& e, std::int32_t number) { return e.number < number; });
    if (at == m_entries.end() || at->number != entry.number) {
        m_entries.insert(at, entry);
        return true;
    }
    if (entry.occurrence <= at->occurrence)
        return false;
    *at = entry;
    return true;
}

bool MissedJournal::follow(const ReminderTable& table) {
    if (m_entries.empty())
        return false;
    // The first row in stored order with a number is that reminder.
    std::unordered_map<std::int32_t, const std::string*> messages;
    for (std::size_t i = 0; i < table.count(); ++i) {
        const ReminderRow& row = table.rowAt(i);
        messages.try_emplace(row.integer(Col::N), &row.text(Col::Comment));
    }
    bool changed = false;
    std::erase_if(m_entries, [&](MissedOccurrence& e) {
        const auto it = messages.find(e.number);
        if (it == messages.end()) {
            changed = true;
            return true;
        }
        if (e.message != *it->second) {
            e.message = *it->second;
            changed = true;
        }
        return false;
    });
    return changed;
}

void MissedJournal::widenBounds(Moment from, Moment to) {
    m_from = m_bounded ? std::min(m_from, from) : from;
    m_to = m_bounded ? std::max(m_to, to) : to;
    m_bounded = true;
}
