#pragma once
// When a scheduled reminder occurs. Pure calendar arithmetic on local moments: no
// clock is read and no time zone is looked up.

#include "core/Reminder.h"

// 2000-01-01 00:00, the moment that stands for after-start reminders.
Moment afterStartMoment();

// The first occurrence after `from` (a once-only reminder: `stored`, wherever `from`
// lies). A repeating one occurs at the time of day of `stored` (its minute) on its
// weekdays, or on monthDay of every month (limited to the month's length).
Moment nextOccurrence(ScheduleKind kind, int monthDay, Moment stored, const WeekDays& days,
                      Moment from);
// The last occurrence at or before `until`.
Moment previousOccurrence(ScheduleKind kind, int monthDay, Moment stored, const WeekDays& days,
                          Moment until);
