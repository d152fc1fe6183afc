#include "core/MissedJournal.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ZoneScope.h"

#include <gtest/gtest.h>

namespace {

Moment At(int y, int mo, int d, int h = 0, int mi = 0) {
    return makeMoment(y, mo, d, h, mi);
}

struct JournalTest : ::testing::Test {
    ReminderTable table;
    MissedJournal journal;
    // Last run ended Monday 17:00; this run started Tuesday 09:00.
    const Moment lastRun = At(2026, 12, 7, 17);
    const Moment start = At(2026, 12, 8, 9);

    void Add(std::int32_t n, std::uint16_t kind, Moment d, bool daily, bool afterStart = false) {
        ReminderRow r;
        r.setInteger(Col::N, n);
        r.setInteger(Col::DateOrDay, kind);
        r.setMoment(Col::Data, d);
        r.setText(Col::Comment, "thing " + std::to_string(n));
        for (Col c : {Col::Mon, Col::Tue, Col::Wed, Col::Thu, Col::Fri, Col::Sat, Col::Sun})
            r.setInteger(c, daily ? 1 : 0);
        r.setInteger(Col::AfterStart, afterStart ? 1 : 0);
        table.insert(r);
    }
    std::vector<std::int32_t> Numbers() const {
        std::vector<std::int32_t> v;
        for (const auto& e : journal.entries())
            v.push_back(e.number);
        return v;
    }
};

} // namespace

TEST_F(JournalTest, ListsLatestMissedOccurrencesWithinTheBounds) {
    Add(7, 1, At(2000, 1, 1, 8), true);       // daily 08:00: Tuesday 08:00 missed
    Add(2, 1, At(2000, 1, 1, 9, 30), true);   // daily 09:30: last Monday 09:30, before the end
    Add(5, 0, start, false);                  // exactly at start: listed
    Add(4, 0, lastRun, false);                // exactly at last run: not listed
    Add(3, 1, At(2000, 1, 1, 8), true, true); // after-start reminders never appear
    Add(1, 2, At(2000, 1, 1, 12), false);     // monthly 1st 12:00 is outside
    const Moment now = start + std::chrono::seconds(1);
    EXPECT_EQ(journal.build(table, lastRun, start, now), 2);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{5, 7}));
    EXPECT_EQ(journal.entries()[1].occurrence, At(2026, 12, 8, 8));
    EXPECT_EQ(journal.entries()[1].message, "thing 7");

    // Rebuilt later in the run: nothing accumulates, and the daily reminder that
    // occurred again since the start is left out.
    EXPECT_EQ(journal.build(table, lastRun, start, At(2026, 12, 9, 8, 30)), 1);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{5}));
    EXPECT_EQ(journal.count(), 1);
}

TEST_F(JournalTest, WithoutALastRunThePeriodIsEmpty) {
    Add(1, 1, At(2000, 1, 1, 8), true);
    Add(2, 0, At(2026, 12, 8, 8, 59), false);
    EXPECT_EQ(journal.build(table, start, start, start), 0);
    EXPECT_TRUE(journal.entries().empty());
}

TEST_F(JournalTest, AnOccurrenceInTheSkippedHourIsListedAtTheChange) {
    const ZoneScope zone("Europe/Berlin");
    Add(1, 1, At(2000, 1, 1, 2, 30), true); // daily 02:30
    // The last run ended at 01:50 on the day the clock skips from 02:00 to 03:00; this one
    // began at 03:05.
    const UtcInstant startUtc{At(2026, 3, 29, 1, 5).time_since_epoch()};
    const TimeZoneSpan span(FakeClock::inZone(startUtc), startUtc - std::chrono::hours(24),
                            startUtc + std::chrono::hours(1));
    const Moment began = At(2026, 3, 29, 3, 5);
    ASSERT_EQ(journal.build(table, At(2026, 3, 29, 1, 50), began, began, span), 1);
    EXPECT_EQ(journal.entries()[0].occurrence, At(2026, 3, 29, 3));
}

TEST_F(JournalTest, GapsMergeOneEntryPerReminderAndWidenTheBounds) {
    Add(7, 1, At(2000, 1, 1, 8), true); // daily 08:00: Tuesday 08:00 missed while off
    ASSERT_EQ(journal.build(table, lastRun, start, start), 1);
    EXPECT_EQ(journal.from(), lastRun);
    EXPECT_EQ(journal.to(), start);

    // A sleep on Wednesday from 07:00 to 12:00.
    const Moment slept = At(2026, 12, 9, 7), woke = At(2026, 12, 9, 12);
    EXPECT_EQ(journal.merge({{7, At(2026, 12, 9, 8), "thing 7"},
                             {12, At(2026, 12, 9, 9), "twelve"},
                             {3, At(2026, 12, 9, 11), "three"}},
                            slept, woke),
              3);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{3, 7, 12}));
    EXPECT_EQ(journal.entries()[1].occurrence, At(2026, 12, 9, 8)); // the later one
    EXPECT_EQ(journal.from(), lastRun);
    EXPECT_EQ(journal.to(), woke);

    // An earlier occurrence does not replace a later one, whatever the order of the gaps.
    journal.merge({{3, At(2026, 12, 9, 10), "three, earlier"}}, slept, woke);
    EXPECT_EQ(journal.entries()[0].message, "three");
    EXPECT_EQ(journal.count(), 3);

    // A fresh build starts over, bounds included.
    journal.build(table, lastRun, start, start);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{7}));
    EXPECT_EQ(journal.to(), start);
}

TEST_F(JournalTest, AGapWithoutABuildSetsTheBounds) {
    const Moment slept = At(2026, 12, 9, 7), woke = At(2026, 12, 9, 12);
    EXPECT_EQ(journal.merge({{2, At(2026, 12, 9, 9), "two"}}, slept, woke), 1);
    EXPECT_EQ(journal.from(), slept);
    EXPECT_EQ(journal.to(), woke);
}
