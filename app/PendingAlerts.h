#pragma once
// The alerts that outlive the program: an alert window open or postponed is kept in the
// reminder file until the user answers it, so that one left when the program ended (exit,
// logout, a kill, a crash) is listed in the journal at the next start, once, until it is
// answered there or its reminder alerts again.

#include "core/Clock.h"
#include "core/MissedJournal.h"

#include <cstdint>
#include <set>

class Reminders;

class PendingAlerts final {
public:
    // Both must outlive this object.
    PendingAlerts(Reminders& reminders, MissedJournal& journal);

    // At the start, once the reminders are loaded: the alerts the last run left go into the
    // journal (a later missed occurrence of the same reminder takes the place of one).
    // Returns how many are listed.
    int carryOver(const Clock& clock);
    // An alert window of reminder `number` shows the occurrence of `due`. True when a
    // carried entry left the journal.
    bool shown(std::int32_t number, const ClockReading& due);
    // The user answered the alert window of reminder `number`.
    void answered(std::int32_t number);
    // "Ok" on the journal's entry for that reminder and occurrence: a carried alert is
    // answered there for good. True when a carried entry left the journal.
    bool dismissed(std::int32_t number, Moment occurrence);

private:
    Reminders& m_reminders;
    MissedJournal& m_journal;
    // The reminders whose carried alert the journal still lists.
    std::set<std::int32_t> m_carried;
};
