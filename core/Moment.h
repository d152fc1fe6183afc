#pragma once
// The program's moments: local calendar time, exact to the millisecond, and the
// calendar arithmetic the schedules need. The reminder file and the settings file
// store a moment as a day count (see toDayCount); nothing else uses that form.

#include <chrono>

using Moment = std::chrono::local_time<std::chrono::milliseconds>;
using UtcInstant = std::chrono::sys_time<std::chrono::milliseconds>;

struct CalendarTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

Moment makeMoment(const CalendarTime& c);
Moment makeMoment(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                  int millisecond = 0);
CalendarTime calendarTime(Moment m);

// 1 Monday .. 7 Sunday.
int dayOfWeek(Moment m);
bool isLeapYear(int year);
int daysInMonth(int year, int month);
// Steps a moment by whole months, keeping the time of day and limiting the day
// to the length of the target month.
Moment addMonths(Moment m, int months);

// 1899-12-30 00:00, day 0 of the stored form.
inline constexpr Moment DayCountEpoch{
    std::chrono::local_days{std::chrono::year{1899} / 12 / 30}.time_since_epoch()};

// The stored form: days since DayCountEpoch, the time of day as the fraction.
// Reading rounds to the nearest millisecond; values outside the years 1 to 9999
// (or not numbers at all) are held at the nearest end of that range.
double toDayCount(Moment m);
Moment fromDayCount(double days);
// Whether a stored day count is a moment the program can compute with: a finite number
// within the years 1 to 9999.
bool isDayCountInRange(double days);

// The local calendar moment of a UTC instant, in the system's time zone.
Moment toLocalMoment(UtcInstant t);
