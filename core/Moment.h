#pragma once
// The program's date-time: a day count from 1899-12-30 00:00 local time, the
// time of day as the fraction. Conversions go through std::chrono calendar types
// and are exact to the millisecond.

#include <cstdint>
#include <string>

using TDateTime = double;

constexpr std::int64_t MsPerDay = 86'400'000;
constexpr double OneSecond = 1.0 / 86'400.0;

struct CalendarTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Whole milliseconds since the epoch day, rounded to the nearest millisecond.
std::int64_t MomentToMs(TDateTime t);
TDateTime MsToMoment(std::int64_t ms);

CalendarTime DecodeMoment(TDateTime t);
TDateTime EncodeMoment(const CalendarTime& c);
TDateTime EncodeMoment(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                       int millisecond = 0);

// The calendar date of t (its time of day dropped) as a day number.
std::int64_t DayNumber(TDateTime t);
// 1 Monday .. 7 Sunday.
int DayOfTheWeek(TDateTime t);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Steps a moment by whole months, keeping the time of day and limiting the day
// to the length of the target month.
TDateTime IncMonth(TDateTime t, int months);

// The current local time as a moment (the one place the clock is read).
TDateTime NowMoment();
// Local broken-down time of a Unix time in milliseconds, as a moment.
TDateTime UnixMsToLocalMoment(std::int64_t unixMs);

// "dd.mm.yyyy hh:nn" and "hh:nn".
std::string DateMinuteText(TDateTime t);
std::string HourMinuteText(TDateTime t);
