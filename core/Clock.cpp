#include "core/Clock.h"

ClockReading SystemClock::now() const {
    using namespace std::chrono;
    ClockReading r;
    r.utc = floor<milliseconds>(system_clock::now());
    r.monotonic = steady_clock::now();
    r.local = toLocalMoment(r.utc);
    return r;
}

const Clock& systemClock() {
    static const SystemClock clock;
    return clock;
}
