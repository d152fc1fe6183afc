#pragma once
// A clock for tests. By default its local time is UTC; inZone() gives one whose local
// time follows the test process's time zone (TZ). The monotonic time moves by the same
// steps as the wall clock, except where a test sets the wall clock alone.

#include "core/Clock.h"

class FakeClock final : public Clock {
public:
    explicit FakeClock(Moment local = makeMoment(2026, 12, 9, 8))
        : m_utc(local.time_since_epoch()), m_monotonic(local.time_since_epoch()) {}
    // A clock in the process's time zone, at the instant t.
    static FakeClock inZone(UtcInstant t) {
        FakeClock clock;
        clock.m_zoned = true;
        clock.m_utc = t;
        return clock;
    }

    ClockReading now() const override { return {m_utc, localMoment(m_utc), m_monotonic}; }
    Moment localMoment(UtcInstant t) const override {
        return m_zoned ? toLocalMoment(t) : Moment{t.time_since_epoch()};
    }
    // Moves the clock to a local moment (local time is UTC).
    void set(Moment local) { setUtc(UtcInstant{local.time_since_epoch()}); }
    // Moves the clock to an instant; the monotonic time moves by the same step.
    void setUtc(UtcInstant t) {
        m_monotonic += t - m_utc;
        m_utc = t;
    }
    // Sets the wall clock alone, as setting the clock or a machine's sleep does.
    void setWallClock(UtcInstant t) { m_utc = t; }

private:
    UtcInstant m_utc;
    std::chrono::steady_clock::time_point m_monotonic;
    bool m_zoned = false;
};
