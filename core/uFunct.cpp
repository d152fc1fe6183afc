#include "uFunct.h"

#include "SharedTexts.h"

#include <iostream>

namespace {

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}

constexpr std::int64_t MsPerMinute = 60'000;

// Hour and minute of a moment as milliseconds into the day.
std::int64_t TimeOfDayMs(TDateTime D) {
    std::int64_t ms = MomentToMs(D) % MsPerDay;
    if (ms < 0)
        ms += MsPerDay;
    return ms / MsPerMinute * MsPerMinute;
}

std::int64_t FloorDay(std::int64_t ms) {
    std::int64_t d = ms / MsPerDay;
    if (ms % MsPerDay < 0)
        --d;
    return d;
}

// Weekday 1..7 (Monday..Sunday) of a day number.
int WeekdayOfDay(std::int64_t day) {
    return static_cast<int>(((day + 5) % 7 + 7) % 7) + 1;
}

bool WeekdayFlag(const WeekDays& days, int k) {
    return k >= 1 && k <= 7 && days[k - 1];
}

// everyMonthDay limited to the month; 0 counts as the 1st.
int LimitedDay(int everyMonthDay, int year, int month) {
    const int len = DaysInMonth(year, month);
    if (everyMonthDay < 1)
        return 1;
    return everyMonthDay > len ? len : everyMonthDay;
}

std::int64_t MonthlyCandidate(int year, int month, int everyMonthDay, std::int64_t tod) {
    const int day = LimitedDay(everyMonthDay, year, month);
    return MomentToMs(EncodeMoment(year, month, day)) + tod;
}

std::int64_t ReferenceMs(TDateTime now, bool Flag) {
    return MomentToMs(now) - (Flag ? MsPerMinute : 0);
}

} // namespace

void SetMessageSink(MessageSink sink) {
    Sink() = std::move(sink);
}

void ShowCoreMessage(const std::string& text) {
    if (Sink())
        Sink()(text);
    else
        std::cerr << text << '\n';
}

TDateTime BaseDate() {
    return EncodeMoment(2000, 1, 1);
}

TDateTime NextEventTime(std::uint16_t DateOrDay, std::uint16_t everyMonthDay, TDateTime D,
                        const WeekDays& days, bool Flag, TDateTime now) {
    if (DateOrDay == 0)
        return D;
    const std::int64_t r = ReferenceMs(now, Flag);
    const std::int64_t tod = TimeOfDayMs(D);
    const std::int64_t rDay = FloorDay(r);

    if (DateOrDay == 1) {
        // Weekdays are ordered from the reference moment's own date, so that in the
        // first minute after midnight a 00:00 reminder still falls due on its days.
        const int t = WeekdayOfDay(rDay);
        bool w[7];
        for (int i = 0; i < 7; ++i)
            w[i] = days[(t - 1 + i) % 7];
        const std::int64_t c = rDay * MsPerDay + tod;
        if (r >= c) {
            for (int i = 1; i <= 6; ++i)
                if (w[i])
                    return MsToMoment(c + i * MsPerDay);
            return MsToMoment(c + 7 * MsPerDay);
        }
        for (int i = 0; i <= 6; ++i)
            if (w[i])
                return MsToMoment(c + i * MsPerDay);
        return MsToMoment(c);
    }

    const CalendarTime rc = DecodeMoment(MsToMoment(r));
    const std::int64_t c = MonthlyCandidate(rc.year, rc.month, everyMonthDay, tod);
    if (r < c)
        return MsToMoment(c);
    const int y = rc.month == 12 ? rc.year + 1 : rc.year;
    const int m = rc.month == 12 ? 1 : rc.month + 1;
    return MsToMoment(MonthlyCandidate(y, m, everyMonthDay, tod));
}

TDateTime PrevEventTime(std::uint16_t DateOrDay, std::uint16_t everyMonthDay, TDateTime D,
                        const WeekDays& days, bool Flag, TDateTime now) {
    if (DateOrDay == 0)
        return D;
    const std::int64_t r = ReferenceMs(now, Flag);
    const std::int64_t tod = TimeOfDayMs(D);
    const std::int64_t rDay = FloorDay(r);

    if (DateOrDay == 1) {
        const std::int64_t c = rDay * MsPerDay + tod;
        const int first = r >= c ? 0 : 1;
        for (int k = first; k <= 7; ++k)
            if (WeekdayFlag(days, WeekdayOfDay(rDay - k)))
                return MsToMoment(c - k * MsPerDay);
        return MsToMoment(c - 8 * MsPerDay + first * MsPerDay);
    }

    const CalendarTime rc = DecodeMoment(MsToMoment(r));
    const std::int64_t c = MonthlyCandidate(rc.year, rc.month, everyMonthDay, tod);
    if (r >= c)
        return MsToMoment(c);
    // The step back keeps the limited day, limited again to the earlier month.
    return IncMonth(MsToMoment(c), -1);
}

TDateTime NextEventTime(std::uint16_t DateOrDay, std::uint16_t everyMonthDay, TDateTime D,
                        const WeekDays& days, bool Flag) {
    return NextEventTime(DateOrDay, everyMonthDay, D, days, Flag, NowMoment());
}

TDateTime PrevEventTime(std::uint16_t DateOrDay, std::uint16_t everyMonthDay, TDateTime D,
                        const WeekDays& days, bool Flag) {
    return PrevEventTime(DateOrDay, everyMonthDay, D, days, Flag, NowMoment());
}

std::size_t Utf8Length(const std::string& text) {
    std::size_t n = 0;
    for (const char ch : text)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string Utf8Left(const std::string& text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == maxChars)
                return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

std::string WeekdayNames(const WeekDays& days) {
    const std::string* names[7] = {&TextMon, &TextTue, &TextWed, &TextThu,
                                   &TextFri, &TextSat, &TextSun};
    std::string result;
    for (int i = 0; i < 7; ++i) {
        if (!days[i])
            continue;
        if (!result.empty())
            result += ", ";
        result += *names[i];
    }
    return result;
}

std::string ScheduleDescription(std::uint16_t DateOrDay, std::uint16_t everyMonthDay,
                                std::uint16_t AfterStart, TDateTime D,
                                std::int32_t MinutesAfterStart, const WeekDays& days) {
    std::string s;
    if (AfterStart == 1) {
        s = TextAfterStart + " " + std::to_string(MinutesAfterStart) + " " + TextMinutes;
    } else if (AfterStart == 0) {
        switch (DateOrDay) {
        case 0:
            s = TextSpecificDate + " : " + DateMinuteText(D);
            break;
        case 1:
            s = TextDaysOfWeek + " : " + WeekdayNames(days) + " : " + HourMinuteText(D);
            break;
        case 2:
            s = TextMonthly + " " + std::to_string(everyMonthDay) + " " + TextDaySuffix + " : " +
                HourMinuteText(D);
            break;
        default:
            break;
        }
    }
    return Utf8Left(s, DescriptionLength);
}
