#include "core/Occurrence.h"

namespace {

using namespace std::chrono;

// Hour and minute of a moment, as time into its day.
milliseconds timeOfDay(Moment m) {
    return floor<minutes>(m - floor<days>(m));
}

bool weekdayFlag(const WeekDays& weekDays, local_days day) {
    return weekDays[weekday{day}.iso_encoding() - 1];
}

// monthDay limited to the month; 0 counts as the 1st.
Moment monthlyCandidate(year_month ym, int monthDay, milliseconds tod) {
    const int len = daysInMonth(static_cast<int>(ym.year()),
                                static_cast<int>(static_cast<unsigned>(ym.month())));
    const int day = monthDay < 1 ? 1 : monthDay > len ? len : monthDay;
    return Moment{local_days{ym / static_cast<unsigned>(day)}.time_since_epoch()} + tod;
}

year_month monthOf(local_days day) {
    const year_month_day ymd{day};
    return ymd.year() / ymd.month();
}

} // namespace

Moment afterStartMoment() {
    return makeMoment(2000, 1, 1);
}

Moment nextOccurrence(ScheduleKind kind, int monthDay, Moment stored, const WeekDays& weekDays,
                      Moment from) {
    if (kind == ScheduleKind::Once)
        return stored;
    const milliseconds tod = timeOfDay(stored);
    const local_days fromDay = floor<days>(from);

    if (kind == ScheduleKind::Weekly) {
        // Weekdays count from the reference moment's own date, so that in the first
        // minute after midnight a 00:00 reminder still falls due on its days.
        const Moment candidate = fromDay + tod;
        const int first = from >= candidate ? 1 : 0;
        for (int i = first; i <= 6; ++i)
            if (weekdayFlag(weekDays, fromDay + days{i}))
                return candidate + days{i};
        return candidate + days{first == 1 ? 7 : 0};
    }

    const year_month month = monthOf(fromDay);
    const Moment candidate = monthlyCandidate(month, monthDay, tod);
    if (from < candidate)
        return candidate;
    return monthlyCandidate(month + months{1}, monthDay, tod);
}

Moment previousOccurrence(ScheduleKind kind, int monthDay, Moment stored, const WeekDays& weekDays,
                          Moment until) {
    if (kind == ScheduleKind::Once)
        return stored;
    const milliseconds tod = timeOfDay(stored);
    const local_days untilDay = floor<days>(until);

    if (kind == ScheduleKind::Weekly) {
        const Moment candidate = untilDay + tod;
        const int first = until >= candidate ? 0 : 1;
        for (int k = first; k <= 7; ++k)
            if (weekdayFlag(weekDays, untilDay - days{k}))
                return candidate - days{k};
        return candidate - days{8 - first};
    }

    const Moment candidate = monthlyCandidate(monthOf(untilDay), monthDay, tod);
    if (until >= candidate)
        return candidate;
    // The step back keeps the limited day, limited again to the earlier month.
    return addMonths(candidate, -1);
}
