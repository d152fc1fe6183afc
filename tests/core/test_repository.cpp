#include "core/Occurrence.h"
#include "core/ReminderRepository.h"
#include "tests/support/MemoryReminderStore.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

ReminderRow RowWithNumber(std::int32_t n) {
    ReminderRow r;
    r.setInteger(Col::N, n);
    return r;
}

struct RepositoryTest : ::testing::Test {
    MemoryReminderStore* store = nullptr;
    ReminderRepository data{[this] {
        auto s = std::make_unique<MemoryReminderStore>();
        store = s.get();
        return s;
    }()};
    const Moment now = makeMoment(2026, 12, 9, 10, 0);

    // Loads the given rows as the table file's.
    void Load(std::vector<ReminderRow> rows) {
        store->rows = std::move(rows);
        ASSERT_TRUE(data.load("things.mln").ok());
    }
    void SetUp() override { Load({}); }

    static Reminder NewReminder(const std::string& text) {
        Reminder p;
        p.isNew = true;
        p.message = text;
        p.kind = ScheduleKind::Weekly;
        p.days[2] = true;
        p.moment = makeMoment(2000, 1, 1, 9, 0);
        p.showAlert = true;
        return p;
    }
    std::int32_t Add(const std::string& text) {
        return data.saveReminder(NewReminder(text), now).number.value();
    }
    Reminder Edit(std::int32_t n) {
        Reminder r = data.reminder(n).value_or(Reminder{});
        EXPECT_EQ(r.number, n);
        r.isNew = false;
        return r;
    }
};

} // namespace

TEST_F(RepositoryTest, NumberingContinuesAfterTheHighestNumber) {
    EXPECT_EQ(data.highestNumber(), 0);
    EXPECT_EQ(Add("first"), 1);

    Load({RowWithNumber(3), RowWithNumber(8), RowWithNumber(5)});
    EXPECT_EQ(data.highestNumber(), 8);
    EXPECT_EQ(Add("next"), 9);
    EXPECT_EQ(data.nextNumber(), 10); // handed out even when nothing is saved with it
    EXPECT_EQ(Add("after"), 11);
}

TEST_F(RepositoryTest, ANewReminderIsRefusedWhenTheNumbersAreUsedUp) {
    constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();
    Load({RowWithNumber(7), RowWithNumber(highest)});
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Status r = data.saveReminder(NewReminder("one more"), now);
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.number);
        EXPECT_NE(r.error.find("2147483647"), std::string::npos) << r.error;
    }
    EXPECT_EQ(data.table().count(), 2u);
    // Changing an existing reminder still works.
    Reminder seven = Edit(7);
    seven.message = "changed";
    EXPECT_TRUE(data.saveReminder(seven, now).ok());
}

TEST_F(RepositoryTest, EmptyMessageOfANewReminderBecomesNoteAndNumber) {
    const auto n = Add("");
    ASSERT_NE(data.findRow(n), nullptr);
    EXPECT_EQ(data.findRow(n)->text(Col::Comment), "note " + std::to_string(n));
    EXPECT_EQ(data.findRow(n)->moment(Col::CrDate), now);
    EXPECT_TRUE(data.findRow(n)->isNull(Col::Hint));
}

TEST_F(RepositoryTest, EditKeepsCreationDateAndAllowsAnEmptyMessage) {
    const auto n = Add("walk");
    Reminder p = Edit(n);
    p.message = "";
    p.days[4] = true;
    const Status r = data.saveReminder(p, now + std::chrono::hours(24));
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.number, n);
    ASSERT_NE(data.findRow(n), nullptr);
    const ReminderRow& row = *data.findRow(n);
    EXPECT_EQ(row.text(Col::Comment), "");
    EXPECT_EQ(row.moment(Col::CrDate), now);
    EXPECT_TRUE(row.flag(Col::Fri));
    EXPECT_EQ(data.table().count(), 1u);
}

TEST_F(RepositoryTest, CopyGetsANewNumberAndFreshCreationDateAndLeavesTheSource) {
    const auto n = Add("walk");
    ASSERT_NE(data.findRow(n), nullptr);
    const ReminderRow source = *data.findRow(n);
    Reminder copy = *data.reminder(n);
    copy.isNew = true;
    const Moment later = now + std::chrono::hours(48);
    const Status r = data.saveReminder(copy, later);
    EXPECT_TRUE(r.ok());
    EXPECT_NE(r.number, n);
    ASSERT_NE(data.findRow(r.number.value()), nullptr);
    EXPECT_EQ(data.findRow(r.number.value())->moment(Col::CrDate), later);
    ASSERT_NE(data.findRow(n), nullptr);
    EXPECT_EQ(*data.findRow(n), source);
}

TEST_F(RepositoryTest, SavingAReminderThatWasDeletedIsAFailureWithAMessage) {
    const auto n = Add("gone");
    ASSERT_TRUE(data.deleteReminder(n));
    Reminder p = NewReminder("changed");
    p.isNew = false;
    p.number = n;
    const Status r = data.saveReminder(p, now);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.number);
    EXPECT_NE(r.error.find("no longer exists"), std::string::npos);
    EXPECT_EQ(data.table().count(), 0u);
}

TEST_F(RepositoryTest, OverlongTextsAreRefusedNotCut) {
    Reminder p = NewReminder("x");
    p.soundPath = "/" + std::string(511, 'a');
    const Status r = data.saveReminder(p, now);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error.rfind("SaveThing error : ", 0), 0u);
    EXPECT_EQ(data.table().count(), 0u);

    p.soundPath = "/" + std::string(510, 'a'); // exactly 511 fits
    p.message = std::string(100, 'z');
    EXPECT_TRUE(data.saveReminder(p, now).ok());

    const auto n = Add("edit me");
    Reminder e = Edit(n);
    e.openPath = std::string(600, 'p');
    const Status refused = data.saveReminder(e, now);
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.error.find("file to open"), std::string::npos);
    ASSERT_NE(data.findRow(n), nullptr);
    EXPECT_EQ(data.findRow(n)->text(Col::PPath), "");
}

TEST_F(RepositoryTest, FlagsAreTrueOnlyForExactlyOneAndRecordsRoundTrip) {
    ReminderRow r;
    r.setInteger(Col::N, 4);
    r.setInteger(Col::Mon, 2);
    r.setInteger(Col::Sound, 2);
    r.setInteger(Col::Tue, 1);
    r.setInteger(Col::DateOrDay, 7); // written by another program: kept as it is
    r.setInteger(Col::Shutdown, 1);
    const Reminder p = reminderFromRow(r);
    EXPECT_FALSE(p.days[0]);
    EXPECT_FALSE(p.playSound);
    EXPECT_TRUE(p.days[1]);
    EXPECT_FALSE(p.showAlert); // null
    EXPECT_EQ(static_cast<int>(p.kind), 7);
    EXPECT_FALSE(p.power);
    EXPECT_EQ(p.powerAction, PowerAction::PowerOff); // kept while power is off

    Load({r});
    Reminder edited = Edit(4);
    ASSERT_TRUE(data.saveReminder(edited, now).ok());
    ASSERT_NE(data.findRow(4), nullptr);
    EXPECT_EQ(data.findRow(4)->integer(Col::DateOrDay), 7);
    EXPECT_EQ(data.findRow(4)->integer(Col::Shutdown), 1);
    EXPECT_EQ(data.findRow(4)->integer(Col::Special), 0);
}

TEST_F(RepositoryTest, LookupByNumberFollowsChangesAndDeleteRemovesOnlyThatRow) {
    const auto a = Add("a");
    const auto b = Add("b");
    EXPECT_EQ(data.findRow(999), nullptr);
    EXPECT_FALSE(data.reminder(999).has_value());
    Reminder p = Edit(a);
    p.message = "zeta";
    ASSERT_TRUE(data.saveReminder(p, now).ok());
    EXPECT_EQ(data.reminder(a)->message, "zeta");
    EXPECT_EQ(data.table().rowAt(0).integer(Col::N), a); // stored order stays
    EXPECT_TRUE(data.deleteReminder(a));
    EXPECT_FALSE(data.deleteReminder(a));
    EXPECT_EQ(data.table().count(), 1u);
    EXPECT_EQ(data.findRow(a), nullptr);
    EXPECT_EQ(data.reminder(b)->message, "b");
}

TEST_F(RepositoryTest, ComputedColumns) {
    const Texts texts;
    const auto n = Add("x");
    ASSERT_NE(data.findRow(n), nullptr);
    ReminderRow row = *data.findRow(n);
    EXPECT_EQ(rowNextOccurrence(row, now), makeMoment(2026, 12, 16, 9)); // Wednesdays 09:00
    EXPECT_EQ(rowDescription(row, texts), "Days of week : Wed : 09:00");
    row.setInteger(Col::AfterStart, 1);
    row.setInteger(Col::MinutesAfterStart, 5);
    EXPECT_EQ(rowNextOccurrence(row, now), afterStartMoment());
    row.setNull(Col::AfterStart);
    row.setInteger(Col::DateOrDay, 5);
    row.setInteger(Col::EMonth, 20);
    EXPECT_EQ(rowDescription(row, texts), "");
    EXPECT_EQ(rowNextOccurrence(row, now), makeMoment(2026, 12, 20, 9));
}

TEST(ReminderTableTest, ChangedSinceNamesTheRowsChangedAndNoneAfterAReplacement) {
    ReminderTable table;
    table.assign({ReminderRow{}, ReminderRow{}});
    const std::uint64_t loaded = table.version();
    ASSERT_TRUE(table.changedSince(loaded));
    EXPECT_TRUE(table.changedSince(loaded)->empty());
    EXPECT_FALSE(table.changedSince(loaded - 1)) << "the load replaced every row";

    const RowId first = table.idAt(0);
    const RowId added = table.insert(ReminderRow{});
    const std::uint64_t afterInsert = table.version();
    ReminderRow changed;
    changed.setInteger(Col::N, 7);
    ASSERT_TRUE(table.update(first, changed));
    ASSERT_TRUE(table.remove(added));
    EXPECT_EQ(*table.changedSince(loaded), (std::vector<RowId>{added, first, added}));
    EXPECT_EQ(*table.changedSince(afterInsert), (std::vector<RowId>{first, added}));
    EXPECT_FALSE(table.remove(added)) << "already gone";
    EXPECT_EQ(table.changedSince(table.version())->size(), 0u);

    // Too many changes to remember count as a replacement.
    const std::uint64_t beforeFlood = table.version();
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(table.update(first, changed));
    EXPECT_FALSE(table.changedSince(beforeFlood));
    table.assign({});
    EXPECT_FALSE(table.changedSince(afterInsert));
}
