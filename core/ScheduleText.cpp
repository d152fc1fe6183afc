#include "core/ScheduleText.h"

#include <cstdio>

std::size_t utf8Length(const std::string& text) {
    std::size_t n = 0;
    for (const char ch : text)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string utf8Left(const std::string& text, std::size_t maxChars) {
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

std::string dateMinuteText(Moment m) {
    const CalendarTime c = calendarTime(m);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d", c.day, c.month, c.year, c.hour,
                  c.minute);
    return buf;
}

std::string hourMinuteText(Moment m) {
    const CalendarTime c = calendarTime(m);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", c.hour, c.minute);
    return buf;
}

std::string weekdayNames(const WeekDays& days, const Texts& texts) {
    const std::string* names[7] = {&texts.mon, &texts.tue, &texts.wed, &texts.thu,
                                   &texts.fri, &texts.sat, &texts.sun};
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

std::string scheduleDescription(ScheduleKind kind, int monthDay, std::uint16_t afterStart,
                                Moment moment, std::int32_t minutesAfterStart, const WeekDays& days,
                                const Texts& texts) {
    std::string s;
    if (afterStart == 1) {
        s = texts.afterStart + " " + std::to_string(minutesAfterStart) + " " + texts.minutes;
    } else if (afterStart == 0) {
        switch (kind) {
        case ScheduleKind::Once:
            s = texts.specificDate + " : " + dateMinuteText(moment);
            break;
        case ScheduleKind::Weekly:
            s = texts.daysOfWeek + " : " + weekdayNames(days, texts) + " : " +
                hourMinuteText(moment);
            break;
        case ScheduleKind::Monthly:
            s = texts.monthly + " " + std::to_string(monthDay) + " " + texts.daySuffix + " : " +
                hourMinuteText(moment);
            break;
        default:
            break;
        }
    }
    return utf8Left(s, DescriptionLength);
}
