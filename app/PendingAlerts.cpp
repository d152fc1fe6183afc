#include "app/PendingAlerts.h"

#include "app/Reminders.h"
#include "core/TimeZoneSpan.h"
#include "desktop/IsoDateTime.h"

#include <algorithm>
#include <optional>
#include <vector>

PendingAlerts::PendingAlerts(Reminders& reminders, MissedJournal& journal)
    : m_reminders(reminders), m_journal(journal) {
}

int PendingAlerts::carryOver(const Clock& clock) {
    struct Found {
        std::int32_t number;
        UtcInstant due;
    };
    std::vector<Found> found;
    for (const auto& [number, text] : m_reminders.pendingAlerts()) {
        const std::optional<UtcInstant> due = ParseIsoDateTime(QString::fromStdString(text));
        if (due && m_reminders.repository().findRow(number) != nullptr)
            found.push_back({number, *due});
        else
            m_reminders.clearPendingAlert(number); // nothing the journal could show
    }
    if (found.empty())
        return 0;
    // The zone across every occurrence, looked up once; the journal shows them in local time
    // as it is now, also after a change of zone.
    const UtcInstant now = clock.now().utc;
    const auto [first, last] = std::ranges::minmax(found, {}, &Found::due);
    const TimeZoneSpan zone(clock, std::min(first.due, now) - std::chrono::days(1),
                            std::max(last.due, now) + std::chrono::days(1));
    std::vector<MissedOccurrence> alerts;
    for (const Found& f : found)
        alerts.push_back({f.number, zone.toLocal(f.due),
                          m_reminders.repository().findRow(f.number)->text(Col::Comment), true});
    m_journal.carryOver(alerts);
    int listed = 0;
    for (const MissedOccurrence& e : m_journal.entries()) {
        if (!e.carried)
            continue;
        m_carried.insert(e.number);
        ++listed;
    }
    // One replaced by a later missed occurrence is answered with that entry.
    for (const Found& f : found)
        if (!m_carried.contains(f.number))
            m_reminders.clearPendingAlert(f.number);
    return listed;
}

bool PendingAlerts::shown(std::int32_t number, const ClockReading& due) {
    m_reminders.setPendingAlert(number, IsoDateTimeText(due.local, due.utc).toStdString());
    if (m_carried.erase(number) == 0)
        return false;
    return m_journal.dropCarried(number);
}

void PendingAlerts::answered(std::int32_t number) {
    m_reminders.clearPendingAlert(number);
}

bool PendingAlerts::dismissed(std::int32_t number, Moment occurrence) {
    const auto& entries = m_journal.entries();
    const bool carried = std::ranges::any_of(entries, [&](const MissedOccurrence& e) {
        return e.carried && e.number == number && e.occurrence == occurrence;
    });
    if (!carried || m_carried.erase(number) == 0)
        return false;
    m_reminders.clearPendingAlert(number);
    return m_journal.dropCarried(number);
}
