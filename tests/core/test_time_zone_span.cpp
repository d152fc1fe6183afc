#include "core/TimeZoneSpan.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ZoneScope.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

UtcInstant Utc(int y, int mo, int d, int h, int mi = 0) {
    return UtcInstant{makeMoment(y, mo, d, h, mi).time_since_epoch()};
}

} // namespace

// Local moments the clock skips stand for the change, those it shows twice for the first
// time; the span finds the change between its samples to the second.
TEST(TimeZoneSpan, ConvertsAcrossDaylightSavingChanges) {
    struct Case {
        const char* zone;
        Moment local;
        UtcInstant utc; // the instant it stands for
        Moment reached; // the local moment at which it is reached
    };
    const Case cases[] = {
        // Berlin, 29 March 2026: 02:00 CET becomes 03:00 CEST at 01:00 UTC.
        {"Europe/Berlin", makeMoment(2026, 3, 29, 1, 59), Utc(2026, 3, 29, 0, 59),
         makeMoment(2026, 3, 29, 1, 59)},
        {"Europe/Berlin", makeMoment(2026, 3, 29, 2, 0), Utc(2026, 3, 29, 1),
         makeMoment(2026, 3, 29, 3)},
        {"Europe/Berlin", makeMoment(2026, 3, 29, 2, 30), Utc(2026, 3, 29, 1),
         makeMoment(2026, 3, 29, 3)},
        {"Europe/Berlin", makeMoment(2026, 3, 29, 3, 0), Utc(2026, 3, 29, 1),
         makeMoment(2026, 3, 29, 3)},
        // Berlin, 25 October 2026: 03:00 CEST becomes 02:00 CET at 01:00 UTC.
        {"Europe/Berlin", makeMoment(2026, 10, 25, 2, 30), Utc(2026, 10, 25, 0, 30),
         makeMoment(2026, 10, 25, 2, 30)},
        {"Europe/Berlin", makeMoment(2026, 10, 25, 3, 0), Utc(2026, 10, 25, 2),
         makeMoment(2026, 10, 25, 3)},
        // New York, 8 March and 1 November 2026.
        {"America/New_York", makeMoment(2026, 3, 8, 2, 30), Utc(2026, 3, 8, 7),
         makeMoment(2026, 3, 8, 3)},
        {"America/New_York", makeMoment(2026, 11, 1, 1, 30), Utc(2026, 11, 1, 5, 30),
         makeMoment(2026, 11, 1, 1, 30)},
        {"America/New_York", makeMoment(2026, 11, 1, 2, 30), Utc(2026, 11, 1, 7, 30),
         makeMoment(2026, 11, 1, 2, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " +
                     std::to_string(c.local.time_since_epoch().count()));
        const ZoneScope zone(c.zone);
        const FakeClock clock = FakeClock::inZone(c.utc);
        // Spans that hold the change anywhere between their samples, or not at all.
        for (const TimeZoneSpan& span : {TimeZoneSpan(clock, c.utc - 3h, c.utc + 3h),
                                         TimeZoneSpan(clock, c.utc - 100h - 17s, c.utc + 5h),
                                         TimeZoneSpan::around(clock, c.utc - 200 * 24h)}) {
            EXPECT_EQ(span.toUtc(c.local), c.utc);
            EXPECT_EQ(span.reached(c.local), c.reached);
            EXPECT_EQ(span.toLocal(c.utc), c.reached);
        }
    }
    // Without a zone, local moments are UTC.
    EXPECT_EQ(TimeZoneSpan().toUtc(makeMoment(2026, 3, 29, 2, 30)), Utc(2026, 3, 29, 2, 30));
}
