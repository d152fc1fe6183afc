#pragma once
// A clock for tests: it tells the moment it was set to, as local time and as UTC alike,
// with a monotonic time that moves by the same steps.

#include "core/Clock.h"

class FakeClock final : public Clock {
public:
    explicit FakeClock(Moment local = makeMoment(2026, 12, 9, 8)) : m_local(local) {}

    ClockReading now() const override {
        return {UtcInstant{m_local.time_since_epoch()}, m_local,
                std::chrono::steady_clock::time_point{m_local.time_since_epoch()}};
    }
    void set(Moment local) { m_local = local; }

private:
    Moment m_local;
};
