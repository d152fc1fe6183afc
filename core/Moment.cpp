#include "core/Moment.h"

#include <cmath>
#include <ctime>

namespace {

using namespace std::chrono;

constexpr std::int64_t MsPerDay = 86'400'000;
// Day counts of 0001-01-01 and 9999-12-31.
constexpr double FirstDayCount = -693'593.0;
constexpr double LastDayCount = 2'958'465.0;

} // namespace

Moment makeMoment(const CalendarTime& c) {
    const year_month_day ymd{year{c.year}, month{static_cast<unsigned>(c.month)},
                             day{static_cast<unsigned>(c.day)}};
    return Moment{local_days{ymd}.time_since_epoch()} + hours{c.hour} + minutes{c.minute} +
           seconds{c.second} + milliseconds{c.millisecond};
}

Moment makeMoment(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    return makeMoment(CalendarTime{year, month, day, hour, minute, second, millisecond});
}

CalendarTime calendarTime(Moment m) {
    const local_days date = floor<days>(m);
    const year_month_day ymd{date};
    const hh_mm_ss<milliseconds> time{m - date};
    CalendarTime c;
    c.year = static_cast<int>(ymd.year());
    c.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    c.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    c.hour = static_cast<int>(time.hours().count());
    c.minute = static_cast<int>(time.minutes().count());
    c.second = static_cast<int>(time.seconds().count());
    c.millisecond = static_cast<int>(time.subseconds().count());
    return c;
}

int dayOfWeek(Moment m) {
    return static_cast<int>(weekday{floor<days>(m)}.iso_encoding());
}

bool isLeapYear(int y) {
    return year{y}.is_leap();
}

int daysInMonth(int y, int m) {
    const year_month_day_last last{year{y}, month_day_last{month{static_cast<unsigned>(m)}}};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

Moment addMonths(Moment m, int months) {
    CalendarTime c = calendarTime(m);
    const int total = c.year * 12 + (c.month - 1) + months;
    c.year = total >= 0 ? total / 12 : (total - 11) / 12;
    c.month = total - c.year * 12 + 1;
    const int len = daysInMonth(c.year, c.month);
    if (c.day > len)
        c.day = len;
    return makeMoment(c);
}

double toDayCount(Moment m) {
    // Whole days stay exact; the fraction carries the time of day.
    const milliseconds ms = m - DayCountEpoch;
    const days d = floor<days>(ms);
    const milliseconds rest = ms - d;
    return static_cast<double>(d.count()) +
           static_cast<double>(rest.count()) / static_cast<double>(MsPerDay);
}

Moment fromDayCount(double dayCount) {
    if (std::isnan(dayCount))
        dayCount = 0;
    dayCount = std::fmin(std::fmax(dayCount, FirstDayCount), LastDayCount + 1);
    return DayCountEpoch + milliseconds{std::llround(dayCount * static_cast<double>(MsPerDay))};
}

bool isDayCountInRange(double days) {
    // Days from 0001-01-01 00:00 to the end of 9999-12-31; NaN compares false.
    return days >= FirstDayCount && days < LastDayCount + 1;
}

Moment toLocalMoment(UtcInstant t) {
    const sys_seconds secs = floor<seconds>(t);
    const std::time_t tt = system_clock::to_time_t(secs);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &tt);
#else
    localtime_r(&tt, &tm);
#endif
    // A leap second reads as the 59th.
    return makeMoment(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                      tm.tm_sec > 59 ? 59 : tm.tm_sec, static_cast<int>((t - secs).count()));
}
