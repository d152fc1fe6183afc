#include "core/ScheduleText.h"

#include <gtest/gtest.h>

namespace {
constexpr WeekDays None{};
constexpr WeekDays All{true, true, true, true, true, true, true};
constexpr WeekDays MonWedFri{true, false, true, false, true, false, false};
} // namespace

TEST(ScheduleText, Descriptions) {
    const Texts texts;
    const Moment d = makeMoment(2024, 12, 24, 18, 30);
    const Moment eight = makeMoment(2000, 1, 1, 8, 0);
    struct {
        std::uint16_t kind, day, afterStart;
        Moment d;
        std::int32_t minutes;
        WeekDays days;
        const char* text;
    } cases[] = {
        {0, 1, 0, d, 0, None, "Specific date and time : 24.12.2024 18:30"},
        {1, 1, 0, eight, 0, MonWedFri, "Days of week : Mon, Wed, Fri : 08:00"},
        {1, 1, 0, eight, 0, None, "Days of week :  : 08:00"},
        {2, 5, 0, makeMoment(2000, 1, 1, 9, 15), 0, None, "Monthly 5 th : 09:15"},
        {1, 1, 1, eight, 10, All, "After starting, after 10 minutes"},
        {5, 1, 0, eight, 0, None, ""},
        {0, 1, 2, d, 10, None, ""},
        {1, 1, 0, eight, 0, All, "Days of week : Mon, Tue, Wed, Thu, Fri, Sat, Sun : 08:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scheduleDescription(static_cast<ScheduleKind>(c.kind), c.day, c.afterStart, c.d,
                                      c.minutes, c.days, texts),
                  c.text);
}

TEST(ScheduleText, DescriptionIsCutAt57CharactersOfReplacedTexts) {
    Texts texts;
    texts.mon = texts.tue = texts.wed = texts.thu = texts.fri = texts.sat = texts.sun =
        "Понедельник";
    const std::string s =
        scheduleDescription(ScheduleKind::Weekly, 1, 0, DayCountEpoch, 0, All, texts);
    EXPECT_EQ(utf8Length(s), 57u);
    EXPECT_EQ(s.rfind("Days of week : Понедельник, Понедельник", 0), 0u);
    EXPECT_EQ(weekdayNames(None, texts), "");
}
