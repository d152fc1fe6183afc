#include "core/Clock.h"

#include <ctime>

ClockReading SystemClock::now() const {
    using namespace std::chrono;
    // localtime_r alone keeps the zone it first read.
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
    ClockReading r;
    r.utc = floor<milliseconds>(system_clock::now());
    r.monotonic = steady_clock::now();
    r.local = toLocalMoment(r.utc);
    return r;
}

Moment SystemClock::localMoment(UtcInstant t) const {
    return toLocalMoment(t);
}

const Clock& systemClock() {
    static const SystemClock clock;
    return clock;
}
