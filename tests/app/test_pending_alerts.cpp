// Alerts that outlive the program: runs of the reminders' owner over one real file, each
// with its own journal, as successive starts of the program would have them.
#include "app/PendingAlerts.h"
#include "app/Reminders.h"

#include "tests/support/FakeClock.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

Moment At(int hour, int minute) {
    return makeMoment(2026, 12, 9, hour, minute);
}

ClockReading Due(Moment local) {
    return {UtcInstant{local.time_since_epoch()}, local, {}};
}

// One run of the program: the reminders loaded from the file, an empty journal.
struct ProgramRun {
    Reminders reminders;
    MissedJournal journal;
    PendingAlerts pending{reminders, journal};

    ProgramRun(const Clock& clock, const std::string& path)
        : reminders(clock, std::make_unique<SqliteReminderStore>()) {
        reminders.setFilePath(path);
        reminders.load();
        EXPECT_TRUE(reminders.waitForFile());
        EXPECT_TRUE(reminders.isLoaded());
    }
    std::vector<std::pair<std::int32_t, Moment>> Carried() const {
        std::vector<std::pair<std::int32_t, Moment>> carried;
        for (const MissedOccurrence& e : journal.entries())
            if (e.carried)
                carried.emplace_back(e.number, e.occurrence);
        return carried;
    }
    // The pending alerts as the file holds them now.
    std::vector<std::pair<std::int32_t, std::string>> InFile() {
        EXPECT_TRUE(reminders.waitForFile());
        return reminders.pendingAlerts();
    }
};

struct PendingAlertsTest : ::testing::Test {
    std::string path = MakeTempFolder("pending") + "/things.mln";
    FakeClock clock{At(12, 0)};
    std::int32_t tea = 0, walk = 0, post = 0;

    void SetUp() override {
        ProgramRun first(clock, path);
        for (auto [number, message] : {std::pair{&tea, "tea"}, {&walk, "walk"}, {&post, "post"}}) {
            Reminder r;
            r.message = message;
            r.showAlert = true;
            const Status added = first.reminders.add(r);
            ASSERT_TRUE(added.ok());
            *number = *added.number;
        }
        ASSERT_TRUE(first.reminders.waitForFile());
    }
};

} // namespace

TEST_F(PendingAlertsTest, AlertsLeftUnansweredAreListedAtTheNextStartUntilAnswered) {
    {
        ProgramRun run(clock, path);
        run.pending.shown(tea, Due(At(8, 0)));
        run.pending.shown(walk, Due(At(8, 5)));
        run.pending.shown(post, Due(At(8, 10)));
        // A second alert of the same reminder keeps one row, with its later occurrence.
        run.pending.shown(tea, Due(At(8, 30)));
        run.pending.answered(post);
        EXPECT_EQ(run.InFile(),
                  (std::vector<std::pair<std::int32_t, std::string>>{
                      {tea, "2026-12-09T08:30:00+00:00"}, {walk, "2026-12-09T08:05:00+00:00"}}));
    } // ended without answering tea and walk, as by a kill
    {
        ProgramRun run(clock, path);
        // Walk was missed again later while the program was not running: that entry takes
        // the place of the alert, which is answered with it.
        run.journal.merge({{walk, At(9, 0), "walk"}}, At(8, 40), At(12, 0));
        EXPECT_EQ(run.pending.carryOver(clock), 1);
        EXPECT_EQ(run.Carried(), (std::vector<std::pair<std::int32_t, Moment>>{{tea, At(8, 30)}}));
        ASSERT_EQ(run.journal.count(), 2);
        EXPECT_EQ(run.journal.entries()[0].message, "tea");
        EXPECT_EQ(run.journal.from(), At(8, 30)) << "the caption's period takes the alert in";
        EXPECT_EQ(run.InFile(), (std::vector<std::pair<std::int32_t, std::string>>{
                                    {tea, "2026-12-09T08:30:00+00:00"}}));
    } // not answered in the journal: listed again
    {
        ProgramRun run(clock, path);
        EXPECT_EQ(run.pending.carryOver(clock), 1);
        // "Ok" on another occurrence, or on a missed entry, answers nothing.
        EXPECT_FALSE(run.pending.dismissed(tea, At(8, 0)));
        EXPECT_TRUE(run.pending.dismissed(tea, At(8, 30)));
        EXPECT_TRUE(run.Carried().empty());
        EXPECT_TRUE(run.InFile().empty());
    }
    ProgramRun last(clock, path);
    EXPECT_EQ(last.pending.carryOver(clock), 0);
    EXPECT_EQ(last.journal.count(), 0);
}

TEST_F(PendingAlertsTest, AnAlertShownAgainLeavesTheJournalAndADeletedReminderTakesItsRow) {
    {
        ProgramRun run(clock, path);
        run.pending.shown(tea, Due(At(8, 0)));
        run.pending.shown(walk, Due(At(8, 5)));
    }
    ProgramRun run(clock, path);
    ASSERT_EQ(run.pending.carryOver(clock), 2);
    EXPECT_TRUE(run.pending.shown(tea, Due(At(12, 0))));
    EXPECT_FALSE(run.pending.shown(tea, Due(At(12, 1)))) << "left the journal once";
    EXPECT_EQ(run.Carried(), (std::vector<std::pair<std::int32_t, Moment>>{{walk, At(8, 5)}}));
    ASSERT_TRUE(run.reminders.remove(walk));
    EXPECT_EQ(run.InFile(), (std::vector<std::pair<std::int32_t, std::string>>{
                                {tea, "2026-12-09T12:01:00+00:00"}}));
}

TEST_F(PendingAlertsTest, TheOccurrenceNamesAnInstantAndIsShownInTheZoneOfTheNextStart) {
    {
        ProgramRun run(clock, path);
        // Written at 08:00 in a zone one hour ahead of UTC.
        run.pending.shown(tea, {UtcInstant{At(7, 0).time_since_epoch()}, At(8, 0), {}});
        EXPECT_EQ(run.InFile(), (std::vector<std::pair<std::int32_t, std::string>>{
                                    {tea, "2026-12-09T08:00:00+01:00"}}));
    }
    // The next start runs on UTC: the journal shows 07:00.
    ProgramRun run(clock, path);
    ASSERT_EQ(run.pending.carryOver(clock), 1);
    EXPECT_EQ(run.Carried(), (std::vector<std::pair<std::int32_t, Moment>>{{tea, At(7, 0)}}));
}
