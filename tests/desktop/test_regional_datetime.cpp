#include "desktop/RegionalDateTime.h"

#include <gtest/gtest.h>

namespace {

const Moment WithSeconds = makeMoment(2026, 12, 9, 7, 59, 50);
const Moment Afternoon = makeMoment(2026, 1, 2, 17, 5, 9);
const Moment Midnight = makeMoment(2026, 12, 9);

std::int64_t Ms(Moment m) {
    return m.time_since_epoch().count();
}

TEST(RegionalDateTime, WritesShortDateAndLongTimeWithFourDigitYearAndNoZone) {
    struct Case {
        const char* locale;
        Moment moment;
        const char* text;
    };
    const Case cases[] = {
        {"en_US", WithSeconds, "12/9/2026 7:59:50 AM"},
        {"en_US", Afternoon, "1/2/2026 5:05:09 PM"},
        {"en_US", Midnight, "12/9/2026"},
        {"de_DE", WithSeconds, "09.12.2026 07:59:50"},
        {"ru_RU", Afternoon, "02.01.2026 17:05:09"},
        {"zh_CN", WithSeconds, "2026/12/9 07:59:50"},
        {"en_US", WithSeconds + std::chrono::milliseconds(400), "12/9/2026 7:59:50 AM"},
        {"en_US", Midnight + std::chrono::milliseconds(700), "12/9/2026"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegionalDateTimeText(c.moment, QLocale(QString::fromLatin1(c.locale))),
                  QString::fromUtf8(c.text))
            << c.locale;
}

TEST(RegionalDateTime, ReadsBackUnderEveryLocale) {
    const char* const locales[] = {"en_US", "en_GB", "de_DE", "ru_RU", "fr_FR", "ja_JP",
                                   "zh_CN", "ko_KR", "hu_HU", "cs_CZ", "ar_EG", "sv_SE",
                                   "nl_NL", "fa_IR", "bg_BG", "C"};
    for (const char* name : locales) {
        const QLocale locale(QString::fromLatin1(name));
        for (const Moment moment : {WithSeconds, Afternoon, Midnight}) {
            const QString text = RegionalDateTimeText(moment, locale);
            Moment back{};
            ASSERT_TRUE(ParseRegionalDateTime(text, &back, locale))
                << name << ": " << text.toStdString();
            EXPECT_EQ(Ms(back), Ms(moment)) << name << ": " << text.toStdString();
        }
    }
}

TEST(RegionalDateTime, RefusesTextItCannotReadExactly) {
    struct Case {
        const char* locale;
        const char* text;
    };
    const Case cases[] = {
        {"de_DE", "12/9/2026 7:59:50 AM"}, // another locale's text
        {"en_US", "09.12.2026 07:59:50"},
        {"en_GB", "12/9/2026 7:59:50 AM"},
        {"en_GB", "12/9/2026"},         // would be 12 September with padding added
        {"de_DE", "09.12.26 07:59:50"}, // two-digit year: century unknown
        {"en_US", "13/45/2026"},
        {"en_US", "12/9/2026 7:59:50 AM UTC"},
        {"en_US", "12/9/2026 25:00:00"},
        {"en_US", ""},
        {"en_US", "   "},
        {"en_US", "yesterday"},
        {"en_US", "2026-12-09 7:59"},
        {"en_US", "2026-02-30"},
    };
    for (const Case& c : cases) {
        Moment back = Afternoon;
        EXPECT_FALSE(ParseRegionalDateTime(QString::fromUtf8(c.text), &back, QLocale(c.locale)))
            << c.locale << ": " << c.text;
        EXPECT_EQ(Ms(back), Ms(Afternoon));
    }
}

TEST(RegionalDateTime, AlsoReadsIsoDates) {
    const QLocale locale("de_DE");
    Moment back{};
    ASSERT_TRUE(ParseRegionalDateTime("2026-12-09 07:59:50", &back, locale));
    EXPECT_EQ(Ms(back), Ms(WithSeconds));
    ASSERT_TRUE(ParseRegionalDateTime(" 2026-12-09T07:59 ", &back, locale));
    EXPECT_EQ(Ms(back), Ms(makeMoment(2026, 12, 9, 7, 59)));
    ASSERT_TRUE(ParseRegionalDateTime("2026-12-09", &back, locale));
    EXPECT_EQ(Ms(back), Ms(Midnight));
}

} // namespace
