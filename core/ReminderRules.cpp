#include "core/ReminderRules.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace {

bool blank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isspace(c) != 0; });
}

} // namespace

MissingEntry missingEntry(const Reminder& r) {
    if (r.kind == ScheduleKind::Weekly &&
        std::none_of(r.days.begin(), r.days.end(), std::identity()))
        return MissingEntry::Weekday;
    if (!r.showAlert && !r.playSound && !r.openFile && !r.flashTray && !r.power)
        return MissingEntry::Action;
    // A sound or a file to open without the file would do nothing when it falls due.
    if (r.playSound && blank(r.soundPath))
        return MissingEntry::SoundFile;
    if (r.openFile && blank(r.openPath))
        return MissingEntry::FileToOpen;
    return MissingEntry::None;
}

Reminder newReminderDefaults(Moment now) {
    Reminder r;
    const CalendarTime c = calendarTime(now);
    r.moment = makeMoment(c.year, c.month, c.day, c.hour, c.minute);
    r.kind = ScheduleKind::Once;
    r.monthDay = 1;
    r.days = {true, true, true, true, true, false, false};
    r.showAlert = true;
    r.afterStart = false;
    r.minutesAfterStart = 2;
    r.power = false;
    r.powerAction = PowerAction::PowerOff;
    r.isNew = true;
    return r;
}
