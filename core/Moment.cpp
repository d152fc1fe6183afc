#include "Moment.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

using namespace std::chrono;

// Day number of 1899-12-30 relative to the Unix epoch.
constexpr std::int64_t EpochShift = -25'569;

sys_days ToSysDays(std::int64_t day) {
    return sys_days{days{day + EpochShift}};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

std::int64_t MomentToMs(TDateTime t) {
    return std::llround(t * static_cast<double>(MsPerDay));
}

TDateTime MsToMoment(std::int64_t ms) {
    // Split so that whole days stay exact and the fraction carries the time of day.
    const std::int64_t day = FloorDiv(ms, MsPerDay);
    const std::int64_t rest = ms - day * MsPerDay;
    return static_cast<double>(day) + static_cast<double>(rest) / static_cast<double>(MsPerDay);
}

CalendarTime DecodeMoment(TDateTime t) {
    const std::int64_t ms = MomentToMs(t);
    const std::int64_t day = FloorDiv(ms, MsPerDay);
    std::int64_t rest = ms - day * MsPerDay;
    const year_month_day ymd{ToSysDays(day)};
    CalendarTime c;
    c.year = static_cast<int>(ymd.year());
    c.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    c.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    c.millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    c.second = static_cast<int>(rest % 60);
    rest /= 60;
    c.minute = static_cast<int>(rest % 60);
    c.hour = static_cast<int>(rest / 60);
    return c;
}

TDateTime EncodeMoment(const CalendarTime& c) {
    const year_month_day ymd{year{c.year}, month{static_cast<unsigned>(c.month)},
                             day{static_cast<unsigned>(c.day)}};
    const std::int64_t dayNo = sys_days{ymd}.time_since_epoch().count() - EpochShift;
    const std::int64_t ms =
        ((static_cast<std::int64_t>(c.hour) * 60 + c.minute) * 60 + c.second) * 1000 +
        c.millisecond;
    return MsToMoment(dayNo * MsPerDay + ms);
}

TDateTime EncodeMoment(int year, int month, int day, int hour, int minute, int second,
                       int millisecond) {
    return EncodeMoment(CalendarTime{year, month, day, hour, minute, second, millisecond});
}

std::int64_t DayNumber(TDateTime t) {
    return FloorDiv(MomentToMs(t), MsPerDay);
}

int DayOfTheWeek(TDateTime t) {
    // Day 0 (1899-12-30) was a Saturday, weekday 6.
    const std::int64_t d = DayNumber(t);
    return static_cast<int>(((d + 5) % 7 + 7) % 7) + 1;
}

bool IsLeapYear(int y) {
    return year{y}.is_leap();
}

int DaysInMonth(int y, int m) {
    const year_month_day_last last{year{y}, month_day_last{month{static_cast<unsigned>(m)}}};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

TDateTime IncMonth(TDateTime t, int months) {
    CalendarTime c = DecodeMoment(t);
    const int total = c.year * 12 + (c.month - 1) + months;
    c.year = static_cast<int>(FloorDiv(total, 12));
    c.month = total - c.year * 12 + 1;
    const int len = DaysInMonth(c.year, c.month);
    if (c.day > len)
        c.day = len;
    return EncodeMoment(c);
}

TDateTime UnixMsToLocalMoment(std::int64_t unixMs) {
    const std::time_t secs = static_cast<std::time_t>(FloorDiv(unixMs, 1000));
    const int ms = static_cast<int>(unixMs - static_cast<std::int64_t>(secs) * 1000);
    std::tm tm{};
    localtime_r(&secs, &tm);
    return EncodeMoment(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                        tm.tm_sec > 59 ? 59 : tm.tm_sec, ms);
}

TDateTime NowMoment() {
    const auto now = system_clock::now();
    return UnixMsToLocalMoment(duration_cast<milliseconds>(now.time_since_epoch()).count());
}

std::string DateMinuteText(TDateTime t) {
    const CalendarTime c = DecodeMoment(t);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d", c.day, c.month, c.year, c.hour,
                  c.minute);
    return buf;
}

std::string HourMinuteText(TDateTime t) {
    const CalendarTime c = DecodeMoment(t);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", c.hour, c.minute);
    return buf;
}
