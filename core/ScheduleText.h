#pragma once
// Texts about schedules: weekday lists, the one-line description the list shows,
// and the date and time formats they use.

#include "core/Reminder.h"
#include "i18n/Texts.h"

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::size_t DescriptionLength = 57;

// The names of the marked days, Monday first, separated by ", ".
std::string weekdayNames(const WeekDays& days, const Texts& texts);

// A schedule in words, cut at DescriptionLength characters. afterStart is the
// stored flag: 1 describes the start delay, 0 the schedule, and any other value
// (written by another program) gives no text.
std::string scheduleDescription(ScheduleKind kind, int monthDay, std::uint16_t afterStart,
                                Moment moment, std::int32_t minutesAfterStart, const WeekDays& days,
                                const Texts& texts);

// "dd.mm.yyyy hh:nn" and "hh:nn".
std::string dateMinuteText(Moment m);
std::string hourMinuteText(Moment m);

// The first maxChars characters of a UTF-8 text, and its length in characters.
std::string utf8Left(const std::string& text, std::size_t maxChars);
std::size_t utf8Length(const std::string& text);
