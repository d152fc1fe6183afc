#include "desktop/IsoDateTime.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

UtcInstant Utc(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
    return UtcInstant{makeMoment(y, mo, d, h, mi, s, ms).time_since_epoch()};
}

TEST(IsoDateTime, WritesTheLocalMomentWithItsOffsetToTheSecond) {
    struct Case {
        Moment local;
        UtcInstant utc;
        const char* text;
    };
    const Case cases[] = {
        {makeMoment(2026, 12, 9, 8, 0, 2), Utc(2026, 12, 9, 7, 0, 2), "2026-12-09T08:00:02+01:00"},
        {makeMoment(2026, 12, 9, 8, 0, 2, 999), Utc(2026, 12, 9, 8, 0, 2, 999),
         "2026-12-09T08:00:02+00:00"},
        {makeMoment(2026, 12, 31, 20, 30), Utc(2027, 1, 1, 0, 0), "2026-12-31T20:30:00-03:30"},
        {makeMoment(2026, 12, 10, 0, 45), Utc(2026, 12, 9, 11, 0), "2026-12-10T00:45:00+13:45"},
        {makeMoment(999, 1, 2, 3, 4, 5), Utc(999, 1, 2, 3, 4, 5), "0999-01-02T03:04:05+00:00"},
    };
    for (const Case& c : cases) {
        const QString text = IsoDateTimeText(c.local, c.utc);
        EXPECT_EQ(text, QString::fromLatin1(c.text));
        EXPECT_EQ(ParseIsoDateTime(text), std::chrono::floor<std::chrono::seconds>(c.utc))
            << c.text;
    }
}

TEST(IsoDateTime, ReadsAnInstantOnlyWithAnOffset) {
    const UtcInstant seven = Utc(2026, 12, 9, 7, 0, 2);
    struct Case {
        const char* text;
        std::optional<UtcInstant> instant;
    };
    const Case cases[] = {
        {"2026-12-09T08:00:02+01:00", seven},
        {" 2026-12-09T08:00:02+0100 ", seven},
        {"2026-12-09T08:00:02+01", seven},
        {"2026-12-09T07:00:02Z", seven},
        {"2026-12-09T07:00:02.5Z", seven + 500ms},
        {"2026-12-09T07:00:02,125-00:00", seven + 125ms},
        {"2026-12-09T05:30:02-01:30", seven},
        // Without an offset the text names no instant (the regional reader takes it).
        {"2026-12-09T07:00:02", std::nullopt},
        {"2026-12-09 07:00:02+00:00", std::nullopt},
        {"2026-12-09T07:00+00:00", std::nullopt},
        {"2026-02-30T07:00:02+00:00", std::nullopt},
        {"2026-12-09T24:00:02+00:00", std::nullopt},
        {"2026-12-09T07:00:02+01:60", std::nullopt},
        {"2026-12-09T07:00:02+19:00", std::nullopt},
        {"12/9/2026 7:00:02 AM", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIsoDateTime(QString::fromLatin1(c.text)), c.instant) << c.text;
}

} // namespace
