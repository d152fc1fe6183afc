#pragma once
// The local time zone over a stretch of time: its offsets from UTC and the instants at
// which they change, looked up once, so that many moments can be converted between
// local time and UTC without looking the zone up for each of them.

#include "core/Moment.h"

#include <chrono>
#include <vector>

class Clock;

class TimeZoneSpan {
public:
    // UTC itself: local moments are the instants.
    TimeZoneSpan();
    // The clock's zone across [from, to]; beyond it the offsets at its ends hold. Changes
    // of offset are taken to lie at least six hours apart, as they do in the zones in use.
    TimeZoneSpan(const Clock& clock, UtcInstant from, UtcInstant to);
    // The clock's zone from a day before `now` to 400 days after it: enough for the next
    // occurrence of any repeating reminder.
    static TimeZoneSpan around(const Clock& clock, UtcInstant now);

    // The instant a local moment stands for. A moment the clock skips (the hour lost when
    // summer time begins) stands for the change itself; one it shows twice (the hour
    // repeated when it ends) for the first time it is shown.
    UtcInstant toUtc(Moment local) const;
    Moment toLocal(UtcInstant t) const;
    // The local moment at which a local moment is reached: itself, or for a skipped one
    // the first moment after the change (02:30 is reached at 03:00).
    Moment reached(Moment local) const { return toLocal(toUtc(local)); }

private:
    struct Piece {
        UtcInstant start; // the first piece holds from the beginning of time
        std::chrono::milliseconds offset;
    };
    std::vector<Piece> m_pieces;
};
