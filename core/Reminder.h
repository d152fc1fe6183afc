#pragma once
// One reminder as it travels between the table, the engine and the windows.

#include "core/Moment.h"

#include <array>
#include <cstdint>
#include <string>

// How a scheduled reminder repeats. The file may hold other values, written by
// another program; they are kept as they are and repeat monthly.
enum class ScheduleKind : std::uint16_t { Once = 0, Weekly = 1, Monthly = 2 };

// Weekday flags, Monday first.
using WeekDays = std::array<bool, 7>;

enum class PowerAction { PowerOff, Reboot };

struct Reminder {
    std::int32_t number = -1;
    // The date and time of a once-only reminder; the time of day of a repeating one.
    // A scheduled reminder that fell due carries the occurrence instead.
    Moment moment = DayCountEpoch;
    ScheduleKind kind = ScheduleKind::Once;
    std::uint16_t monthDay = 1;
    WeekDays days{};
    std::string message;
    std::string soundPath;
    std::string openPath;
    bool showAlert = false;
    bool flashTray = false;
    bool playSound = false;
    bool openFile = false;
    // The click, when no sound of its own plays.
    bool click = false;
    bool afterStart = false;
    std::int32_t minutesAfterStart = 0;
    // Power off or reboot instead of every other action; powerAction is kept while
    // power is off, so that switching it on again restores the choice.
    bool power = false;
    PowerAction powerAction = PowerAction::Reboot;
    Moment created = DayCountEpoch;
    // Not yet in the table: saving adds it with a new number.
    bool isNew = false;
};
