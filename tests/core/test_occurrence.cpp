#include "core/Occurrence.h"
#include "core/ScheduleText.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

Moment At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return makeMoment(y, mo, d, h, mi, s, ms);
}

// Week of 2026-12-07 (Monday) .. 2026-12-13 (Sunday).
constexpr WeekDays None{};
constexpr WeekDays All{true, true, true, true, true, true, true};
constexpr WeekDays MonFri{true, false, false, false, true, false, false};
constexpr WeekDays WedOnly{false, false, true, false, false, false, false};
constexpr WeekDays ThuOnly{false, false, false, true, false, false, false};

struct Case {
    const char* what;
    std::uint16_t kind;
    std::uint16_t monthDay;
    Moment d;
    WeekDays days;
    bool lookBack; // the minute scan's view: the reference moment a minute earlier
    Moment now;
    Moment next;
    std::optional<Moment> prev;
};

std::string Text(Moment t) {
    const CalendarTime c = calendarTime(t);
    return dateMinuteText(t) + ":" + std::to_string(c.second) + "." + std::to_string(c.millisecond);
}

Moment Reference(const Case& c) {
    return c.now - (c.lookBack ? std::chrono::minutes(1) : std::chrono::minutes(0));
}

const Case Cases[] = {
    {"kind 0 returns D unchanged, seconds included", 0, 1, At(2020, 1, 1, 10, 0, 30), None, true,
     At(2026, 12, 9, 10), At(2020, 1, 1, 10, 0, 30), At(2020, 1, 1, 10, 0, 30)},
    {"Mon+Fri on Wednesday after the time", 1, 1, At(2000, 1, 1, 9), MonFri, false,
     At(2026, 12, 9, 10), At(2026, 12, 11, 9), At(2026, 12, 7, 9)},
    {"Wednesday only, time passed: a week later", 1, 1, At(2000, 1, 1, 9), WedOnly, false,
     At(2026, 12, 9, 10), At(2026, 12, 16, 9), At(2026, 12, 9, 9)},
    {"Wednesday only, time ahead: today", 1, 1, At(2000, 1, 1, 9), WedOnly, false,
     At(2026, 12, 9, 8), At(2026, 12, 9, 9), At(2026, 12, 2, 9)},
    {"no weekday, time ahead", 1, 1, At(2000, 1, 1, 9), None, false, At(2026, 12, 9, 8),
     At(2026, 12, 9, 9), At(2026, 12, 2, 9)},
    {"no weekday, time passed", 1, 1, At(2000, 1, 1, 9), None, false, At(2026, 12, 9, 10),
     At(2026, 12, 16, 9), At(2026, 12, 1, 9)},
    {"the time this very minute counts as passed", 1, 1, At(2000, 1, 1, 9), All, false,
     At(2026, 12, 9, 9), At(2026, 12, 10, 9), At(2026, 12, 9, 9)},
    {"weekly across the year end", 1, 1, At(2000, 1, 1, 9), ThuOnly, false, At(2026, 12, 31, 10),
     At(2027, 1, 7, 9), At(2026, 12, 31, 9)},
    {"look-back: 30 s into the minute the occurrence is still next",
     1,
     1,
     At(2000, 1, 1, 8),
     All,
     true,
     At(2026, 12, 9, 8, 0, 30),
     At(2026, 12, 9, 8),
     {}},
    {"without look-back the same moment gives tomorrow",
     1,
     1,
     At(2000, 1, 1, 8),
     All,
     false,
     At(2026, 12, 9, 8, 0, 30),
     At(2026, 12, 10, 8),
     {}},
    {"look-back at the last millisecond of the window",
     1,
     1,
     At(2000, 1, 1, 8),
     All,
     true,
     At(2026, 12, 9, 8, 0, 59, 999),
     At(2026, 12, 9, 8),
     {}},
    {"look-back window closed a minute after the time",
     1,
     1,
     At(2000, 1, 1, 8),
     All,
     true,
     At(2026, 12, 9, 8, 1),
     At(2026, 12, 10, 8),
     {}},
    {"look-back before the time",
     1,
     1,
     At(2000, 1, 1, 8),
     All,
     true,
     At(2026, 12, 9, 7, 59, 59),
     At(2026, 12, 9, 8),
     {}},
    {"00:00 reminder in the first minute after midnight falls due on its day",
     1,
     1,
     At(2000, 1, 1, 0),
     ThuOnly,
     true,
     At(2026, 12, 10, 0, 0, 20),
     At(2026, 12, 10, 0),
     {}},
    {"monthly 31st on 28 Feb after the time", 2, 31, At(2000, 1, 1, 10), None, false,
     At(2027, 2, 28, 12), At(2027, 3, 31, 10), At(2027, 2, 28, 10)},
    {"monthly 31st on 15 Feb: limited to the 28th, and the step back keeps it", 2, 31,
     At(2000, 1, 1, 10), None, false, At(2027, 2, 15, 12), At(2027, 2, 28, 10),
     At(2027, 1, 28, 10)},
    {"monthly 31st in a leap February", 2, 31, At(2000, 1, 1, 10), None, false, At(2028, 2, 10, 12),
     At(2028, 2, 29, 10), At(2028, 1, 29, 10)},
    {"monthly 15th across the year end", 2, 15, At(2000, 1, 1, 9), None, false,
     At(2026, 12, 20, 10), At(2027, 1, 15, 9), At(2026, 12, 15, 9)},
    {"monthly 31st on 30 April after the time gives 31 May", 2, 31, At(2000, 1, 1, 10), None, false,
     At(2027, 4, 30, 12), At(2027, 5, 31, 10), At(2027, 4, 30, 10)},
    {"monthly 31st on 10 April: previous is 30 March", 2, 31, At(2000, 1, 1, 10), None, false,
     At(2027, 4, 10, 12), At(2027, 4, 30, 10), At(2027, 3, 30, 10)},
    {"monthly 31st on 10 March of a leap year: previous is 29 Feb", 2, 31, At(2000, 1, 1, 10), None,
     false, At(2028, 3, 10, 12), At(2028, 3, 31, 10), At(2028, 2, 29, 10)},
    {"monthly in the minute of its time with look-back",
     2,
     9,
     At(2000, 1, 1, 8),
     None,
     true,
     At(2026, 12, 9, 8, 0, 40),
     At(2026, 12, 9, 8),
     {}},
    {"any other kind behaves as monthly", 7, 15, At(2000, 1, 1, 9), None, false,
     At(2026, 12, 20, 10), At(2027, 1, 15, 9), At(2026, 12, 15, 9)},
    {"month day 0 counts as the 1st", 2, 0, At(2000, 1, 1, 9), None, false, At(2026, 12, 20, 10),
     At(2027, 1, 1, 9), At(2026, 12, 1, 9)},
    {"month day above 31 counts as the last day", 2, 40, At(2000, 1, 1, 9), None, false,
     At(2027, 2, 2, 10), At(2027, 2, 28, 9), At(2027, 1, 28, 9)},
};

} // namespace

TEST(Occurrence, NextAndPreviousTable) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.what);
        const auto kind = static_cast<ScheduleKind>(c.kind);
        EXPECT_EQ(Text(nextOccurrence(kind, c.monthDay, c.d, c.days, Reference(c))), Text(c.next));
        if (c.prev) {
            EXPECT_EQ(Text(previousOccurrence(kind, c.monthDay, c.d, c.days, Reference(c))),
                      Text(*c.prev));
        }
    }
}

TEST(Occurrence, ComputedOccurrencesDropSecondsOfD) {
    // Only the hour and minute of D count for kinds 1 and 2.
    const Moment d = At(1999, 5, 5, 9, 15, 42, 123);
    EXPECT_EQ(Text(nextOccurrence(ScheduleKind::Weekly, 1, d, All, At(2026, 12, 9, 8))),
              Text(At(2026, 12, 9, 9, 15)));
    EXPECT_EQ(Text(nextOccurrence(ScheduleKind::Monthly, 9, d, None, At(2026, 12, 9, 8))),
              Text(At(2026, 12, 9, 9, 15)));
}

TEST(Occurrence, AfterStartMomentIsTheFirstOf2000) {
    EXPECT_EQ(Text(afterStartMoment()), Text(At(2000, 1, 1)));
}
