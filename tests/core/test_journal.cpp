#include "uDataModule.h"

#include <gtest/gtest.h>

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0) {
    return EncodeMoment(y, mo, d, h, mi);
}

struct JournalTest : ::testing::Test {
    TDataModule1 data;
    // Last run ended Monday 17:00; this run started Tuesday 09:00.
    const TDateTime lastRun = At(2026, 12, 7, 17);
    const TDateTime start = At(2026, 12, 8, 9);

    void Add(std::int32_t n, std::uint16_t kind, TDateTime d, bool daily, bool afterStart = false) {
        ThingRow r;
        r.SetInt(Col::N, n);
        r.SetInt(Col::DateOrDay, kind);
        r.SetReal(Col::Data, d);
        r.SetText(Col::Comment, "thing " + std::to_string(n));
        for (Col c : {Col::Mon, Col::Tue, Col::Wed, Col::Thu, Col::Fri, Col::Sat, Col::Sun})
            r.SetInt(c, daily ? 1 : 0);
        r.SetInt(Col::AfterStart, afterStart ? 1 : 0);
        data.table.Insert(r);
    }
    std::vector<std::int32_t> Numbers() const {
        std::vector<std::int32_t> v;
        for (const auto& r : data.cdsJournal.Rows())
            v.push_back(r.N);
        return v;
    }
    void SetUp() override { data.cdsThingsListDM.Open(); }
};

} // namespace

TEST_F(JournalTest, ListsLatestMissedOccurrencesWithinTheBounds) {
    Add(7, 1, At(2000, 1, 1, 8), true);        // daily 08:00: Tuesday 08:00 missed
    Add(2, 1, At(2000, 1, 1, 9, 30), true);    // daily 09:30: last Monday 09:30, before the end
    Add(5, 0, start, false);                   // exactly at start: listed
    Add(4, 0, lastRun, false);                 // exactly at last run: not listed
    Add(3, 1, At(2000, 1, 1, 8), true, true);  // after-start reminders never appear
    Add(1, 2, At(2000, 1, 1, 12), false);      // monthly 1st 12:00 is outside
    const TDateTime now = start + 1.0 / 86400; // a second after start
    EXPECT_EQ(data.OpenJournal(lastRun, start, now), 2);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{5, 7}));
    EXPECT_DOUBLE_EQ(data.cdsJournal.Rows()[1].DT, At(2026, 12, 8, 8));
    EXPECT_EQ(data.cdsJournal.Rows()[1].Comment, "thing 7");

    // Rebuilt later in the run: nothing accumulates, and the daily reminder that
    // occurred again since the start is left out.
    EXPECT_EQ(data.OpenJournal(lastRun, start, At(2026, 12, 9, 8, 30)), 1);
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{5}));
}

TEST_F(JournalTest, WithoutALastRunThePeriodIsEmpty) {
    Add(1, 1, At(2000, 1, 1, 8), true);
    Add(2, 0, At(2026, 12, 8, 8, 59), false);
    EXPECT_EQ(data.OpenJournal(start, start, start), 0);
    EXPECT_TRUE(data.cdsJournal.Active());
}
