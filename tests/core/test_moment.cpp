#include "core/Moment.h"
#include "core/ScheduleText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Moment, DayCountsOfKnownMomentsAndRoundTripsToTheMillisecond) {
    EXPECT_DOUBLE_EQ(toDayCount(makeMoment(1899, 12, 30)), 0.0);
    EXPECT_DOUBLE_EQ(toDayCount(makeMoment(2000, 1, 1)), 36526.0);
    EXPECT_DOUBLE_EQ(toDayCount(makeMoment(2000, 1, 1, 12)), 36526.5);
    EXPECT_EQ(fromDayCount(36526.5), makeMoment(2000, 1, 1, 12));
    const CalendarTime cases[] = {{2024, 2, 29, 23, 59, 59, 999},
                                  {1900, 3, 1, 0, 0, 0, 1},
                                  {2099, 12, 31, 12, 30, 15, 500},
                                  {1899, 12, 29, 18, 0, 0, 0}};
    for (const auto& c : cases) {
        const Moment m = makeMoment(c);
        EXPECT_EQ(fromDayCount(toDayCount(m)), m);
        const CalendarTime d = calendarTime(m);
        EXPECT_EQ(std::tie(d.year, d.month, d.day, d.hour, d.minute, d.second, d.millisecond),
                  std::tie(c.year, c.month, c.day, c.hour, c.minute, c.second, c.millisecond));
    }
}

TEST(Moment, DayCountsNoCalendarCanHoldAreHeldAtTheEndsOfTheRange) {
    EXPECT_EQ(fromDayCount(std::numeric_limits<double>::quiet_NaN()), DayCountEpoch);
    EXPECT_EQ(calendarTime(fromDayCount(1e300)).year, 10000);
    EXPECT_EQ(calendarTime(fromDayCount(-std::numeric_limits<double>::infinity())).year, 1);
}

TEST(Moment, CalendarHelpers) {
    EXPECT_EQ(dayOfWeek(makeMoment(2026, 12, 7, 23, 59)), 1); // Monday
    EXPECT_EQ(dayOfWeek(makeMoment(2026, 12, 13)), 7);        // Sunday
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(addMonths(makeMoment(2027, 1, 31, 10, 5), 1), makeMoment(2027, 2, 28, 10, 5));
    EXPECT_EQ(addMonths(makeMoment(2027, 1, 15), -1), makeMoment(2026, 12, 15));
    EXPECT_EQ(dateMinuteText(makeMoment(2024, 12, 24, 18, 30, 59)), "24.12.2024 18:30");
    EXPECT_EQ(hourMinuteText(makeMoment(2024, 1, 2, 7, 5)), "07:05");
}
