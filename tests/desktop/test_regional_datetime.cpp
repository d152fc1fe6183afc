#include "RegionalDateTime.h"

#include <gtest/gtest.h>

namespace {

const TDateTime WithSeconds = EncodeMoment(2026, 12, 9, 7, 59, 50);
const TDateTime Afternoon = EncodeMoment(2026, 1, 2, 17, 5, 9);
const TDateTime Midnight = EncodeMoment(2026, 12, 9);

TEST(RegionalDateTime, WritesShortDateAndLongTimeWithFourDigitYearAndNoZone) {
    struct Case {
        const char* locale;
        TDateTime moment;
        const char* text;
    };
    const Case cases[] = {
        {"en_US", WithSeconds, "12/9/2026 7:59:50 AM"},
        {"en_US", Afternoon, "1/2/2026 5:05:09 PM"},
        {"en_US", Midnight, "12/9/2026"},
        {"de_DE", WithSeconds, "09.12.2026 07:59:50"},
        {"ru_RU", Afternoon, "02.01.2026 17:05:09"},
        {"zh_CN", WithSeconds, "2026/12/9 07:59:50"},
        {"en_US", WithSeconds + 0.4 * OneSecond, "12/9/2026 7:59:50 AM"},
        {"en_US", Midnight + 0.7 * OneSecond, "12/9/2026"},
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
        for (const TDateTime moment : {WithSeconds, Afternoon, Midnight}) {
            const QString text = RegionalDateTimeText(moment, locale);
            TDateTime back = -1;
            ASSERT_TRUE(ParseRegionalDateTime(text, &back, locale))
                << name << ": " << text.toStdString();
            EXPECT_EQ(MomentToMs(back), MomentToMs(moment)) << name << ": " << text.toStdString();
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
        TDateTime back = 123;
        EXPECT_FALSE(ParseRegionalDateTime(QString::fromUtf8(c.text), &back, QLocale(c.locale)))
            << c.locale << ": " << c.text;
        EXPECT_EQ(back, 123);
    }
}

TEST(RegionalDateTime, AlsoReadsIsoDates) {
    const QLocale locale("de_DE");
    TDateTime back = 0;
    ASSERT_TRUE(ParseRegionalDateTime("2026-12-09 07:59:50", &back, locale));
    EXPECT_EQ(MomentToMs(back), MomentToMs(WithSeconds));
    ASSERT_TRUE(ParseRegionalDateTime(" 2026-12-09T07:59 ", &back, locale));
    EXPECT_EQ(MomentToMs(back), MomentToMs(EncodeMoment(2026, 12, 9, 7, 59)));
    ASSERT_TRUE(ParseRegionalDateTime("2026-12-09", &back, locale));
    EXPECT_EQ(MomentToMs(back), MomentToMs(Midnight));
}

} // namespace
