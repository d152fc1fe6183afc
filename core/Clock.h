#pragma once
// The one source of the current time. The program reads it once per tick and hands
// the reading down; tests inject a clock of their own.

#include "core/Moment.h"

#include <chrono>

// The three faces of one moment, read together.
struct ClockReading {
    UtcInstant utc; // for measuring gaps: a daylight-saving change is no gap
    Moment local;   // for calendar arithmetic
    std::chrono::steady_clock::time_point monotonic; // does not count sleep
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual ClockReading now() const = 0;
    // The local moment of any instant, in the clock's time zone.
    virtual Moment localMoment(UtcInstant t) const = 0;
};

// The system's clocks and time zone. Every reading takes the time zone afresh (TZ or
// the system's setting), so that a change made while the program runs is followed.
class SystemClock final : public Clock {
public:
    ClockReading now() const override;
    Moment localMoment(UtcInstant t) const override;
};

// The program's system clock.
const Clock& systemClock();
