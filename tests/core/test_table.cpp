#include "NullThingsStore.h"
#include "uDataModule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TableTest : ::testing::Test {
    TDataModule1 data{std::make_unique<NullThingsStore>()};
    std::vector<std::string> messages;
    const TDateTime now = EncodeMoment(2026, 12, 9, 10, 0);

    void SetUp() override {
        SetMessageSink([this](const std::string& m) { messages.push_back(m); });
        LastThingNumber = 0;
        data.cdsThings.Open();
        data.cdsThingsList.Open();
        data.cdsThingsListDM.Open();
    }
    void TearDown() override { SetMessageSink(nullptr); }

    eventParams NewThing(const std::string& text) {
        eventParams p;
        p.isNewThing = true;
        p.Comment = text;
        p.DateOrDay = 1;
        p.d3 = true;
        p.D = EncodeMoment(2000, 1, 1, 9, 0);
        p.MessageShow = true;
        return p;
    }
    std::int32_t Add(const std::string& text) {
        return data.SaveThing(NewThing(text), now).NumThing;
    }
    void AddRowWithNumber(std::int32_t n) {
        ThingRow r;
        r.SetInt(Col::N, n);
        data.table.Insert(r);
    }
};

} // namespace

TEST_F(TableTest, NumberingContinuesAfterTheHighestNumber) {
    EXPECT_EQ(data.GetMaxNumberOfThings(), 0);
    EXPECT_EQ(Add("first"), 1);

    TDataModule1 other{std::make_unique<NullThingsStore>()};
    for (int n : {3, 8, 5}) {
        ThingRow r;
        r.SetInt(Col::N, n);
        other.table.Insert(r);
    }
    other.cdsThingsListDM.Open();
    EXPECT_EQ(other.GetMaxNumberOfThings(), 8);
    LastThingNumber = other.GetMaxNumberOfThings();
    EXPECT_EQ(NewThingNumber(), 9);
}

TEST_F(TableTest, EmptyMessageOfANewReminderBecomesNoteAndNumber) {
    const auto n = Add("");
    ASSERT_TRUE(data.cdsThings.LocateN(n));
    EXPECT_EQ(data.cdsThings.Current()->Text(Col::Comment), "note " + std::to_string(n));
    EXPECT_DOUBLE_EQ(data.cdsThings.Current()->Real(Col::CrDate), now);
    EXPECT_TRUE(data.cdsThings.Current()->IsNull(Col::Hint));
}

TEST_F(TableTest, EditKeepsCreationDateAndAllowsAnEmptyMessage) {
    const auto n = Add("walk");
    ASSERT_TRUE(data.cdsThings.LocateN(n));
    eventParams p = *data.DoEditThing(data.cdsThings, n);
    p.isNewThing = false;
    p.Comment = "";
    p.d5 = true;
    const TSaveResult r = data.SaveThing(p, now + 1);
    EXPECT_TRUE(r.isSaved);
    EXPECT_EQ(r.NumThing, n);
    ASSERT_TRUE(data.cdsThings.LocateN(n));
    const ThingRow& row = *data.cdsThings.Current();
    EXPECT_EQ(row.Text(Col::Comment), "");
    EXPECT_DOUBLE_EQ(row.Real(Col::CrDate), now);
    EXPECT_TRUE(row.Flag(Col::Fri));
    EXPECT_EQ(data.table.Count(), 1u);
}

TEST_F(TableTest, CopyGetsANewNumberAndFreshCreationDateAndLeavesTheSource) {
    const auto n = Add("walk");
    ASSERT_TRUE(data.cdsThings.LocateN(n));
    const ThingRow source = *data.cdsThings.Current();
    eventParams copy = *data.DoEditThing(data.cdsThings, n);
    copy.isNewThing = true;
    const TSaveResult r = data.SaveThing(copy, now + 2);
    EXPECT_TRUE(r.isSaved);
    EXPECT_NE(r.NumThing, n);
    ASSERT_TRUE(data.cdsThings.LocateN(r.NumThing));
    EXPECT_DOUBLE_EQ(data.cdsThings.Current()->Real(Col::CrDate), now + 2);
    ASSERT_TRUE(data.cdsThings.LocateN(n));
    EXPECT_EQ(*data.cdsThings.Current(), source);
}

TEST_F(TableTest, SavingAReminderThatWasDeletedIsAFailureWithAMessage) {
    const auto n = Add("gone");
    ASSERT_TRUE(data.DeleteThing(n));
    eventParams p = NewThing("changed");
    p.isNewThing = false;
    p.N = n;
    const TSaveResult r = data.SaveThing(p, now);
    EXPECT_FALSE(r.isSaved);
    EXPECT_EQ(r.NumThing, -1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("no longer exists"), std::string::npos);
    EXPECT_EQ(data.table.Count(), 0u);
}

TEST_F(TableTest, OverlongTextsAreRefusedNotCut) {
    eventParams p = NewThing("x");
    p.SPath = "/" + std::string(511, 'a');
    const TSaveResult r = data.SaveThing(p, now);
    EXPECT_FALSE(r.isSaved);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("SaveThing error : ", 0), 0u);
    EXPECT_EQ(data.table.Count(), 0u);

    p.SPath = "/" + std::string(510, 'a'); // exactly 511 fits
    p.Comment = std::string(100, 'z');
    EXPECT_TRUE(data.SaveThing(p, now).isSaved);

    const auto n = Add("edit me");
    eventParams e = *data.DoEditThing(data.cdsThings, n);
    e.isNewThing = false;
    e.PPath = std::string(600, 'p');
    EXPECT_FALSE(data.SaveThing(e, now).isSaved);
    ASSERT_TRUE(data.cdsThings.LocateN(n));
    EXPECT_EQ(data.cdsThings.Current()->Text(Col::PPath), "");
}

TEST_F(TableTest, FlagsAreTrueOnlyForExactlyOne) {
    EXPECT_EQ(BoolToWord(true), 1);
    EXPECT_EQ(BoolToWord(false), 0);
    EXPECT_TRUE(WordToBool(1));
    EXPECT_FALSE(WordToBool(2));
    ThingRow r;
    r.SetInt(Col::N, 4);
    r.SetInt(Col::Mon, 2);
    r.SetInt(Col::Sound, 2);
    r.SetInt(Col::Tue, 1);
    const eventParams p = ThingFromRow(r);
    EXPECT_FALSE(p.d1);
    EXPECT_FALSE(p.Sound);
    EXPECT_TRUE(p.d2);
    EXPECT_FALSE(p.MessageShow); // null
}

TEST_F(TableTest, CursorsShareRowsButKeepTheirOwnOrderAndPosition) {
    Add("beta");
    Add("Alpha");
    Add("gamma");
    Add("alpha");
    std::vector<std::string> byMessage;
    for (data.cdsThings.First(); !data.cdsThings.Eof(); data.cdsThings.Next())
        byMessage.push_back(data.cdsThings.Current()->Text(Col::Comment));
    EXPECT_EQ(byMessage, (std::vector<std::string>{"Alpha", "alpha", "beta", "gamma"}));

    data.cdsThings.LocateN(3);
    data.cdsThingsList.First();
    data.cdsThingsList.Next();
    EXPECT_EQ(data.cdsThingsList.Current()->Text(Col::Comment), "Alpha");
    // A change through the list's cursor is seen by the scan's, which stays put.
    eventParams p = *data.DoEditThing(data.cdsThings, 3);
    p.isNewThing = false;
    p.Comment = "zeta";
    data.SaveThing(p, now);
    EXPECT_EQ(data.cdsThingsList.Current()->Text(Col::Comment), "Alpha");
    data.cdsThingsList.Next();
    EXPECT_EQ(data.cdsThingsList.Current()->Text(Col::Comment), "zeta");
    EXPECT_EQ(data.cdsThings.RecNo(), 3); // the edited row moved to the end of message order
}

TEST_F(TableTest, DeleteRemovesOnlyThatRowAndFieldHasValueFollows) {
    const auto a = Add("a");
    const auto b = Add("b");
    ASSERT_TRUE(data.cdsThings.LocateN(a));
    EXPECT_TRUE(FieldHasValue(data.cdsThings, "n"));
    EXPECT_FALSE(FieldHasValue(data.cdsThings, "Hint"));
    EXPECT_FALSE(FieldHasValue(data.cdsThings, "NoSuchField"));
    EXPECT_TRUE(data.DeleteThing(a));
    EXPECT_FALSE(data.DeleteThing(a));
    EXPECT_EQ(data.table.Count(), 1u);
    EXPECT_EQ(data.cdsThings.Current()->Int(Col::N), b);
    EXPECT_TRUE(data.DeleteThing(b));
    EXPECT_FALSE(FieldHasValue(data.cdsThings, "N"));
    data.cdsThings.Close();
    EXPECT_FALSE(FieldHasValue(data.cdsThings, "N"));
}

TEST_F(TableTest, CalculatedColumns) {
    const auto n = Add("x");
    ASSERT_TRUE(data.cdsThings.LocateN(n));
    ThingRow row = *data.cdsThings.Current();
    EXPECT_DOUBLE_EQ(RowNextTime(row, now), EncodeMoment(2026, 12, 16, 9)); // Wednesdays 09:00
    EXPECT_EQ(RowDescription(row), "Days of week : Wed : 09:00");
    row.SetInt(Col::AfterStart, 1);
    row.SetInt(Col::MinutesAfterStart, 5);
    EXPECT_DOUBLE_EQ(RowNextTime(row, now), BaseDate());
    row.SetNull(Col::AfterStart);
    row.SetInt(Col::DateOrDay, 5);
    row.SetInt(Col::EMonth, 20);
    EXPECT_EQ(RowDescription(row), "");
    EXPECT_DOUBLE_EQ(RowNextTime(row, now), EncodeMoment(2026, 12, 20, 9));
}
