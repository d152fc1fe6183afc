#include "i18n/Texts.h"

#include <gtest/gtest.h>

TEST(Texts, EnglishDefaults) {
    const Texts texts;
    EXPECT_EQ(texts.specificDate, "Specific date and time");
    EXPECT_EQ(texts.afterStart, "After starting, after");
    EXPECT_EQ(texts.sun, "Sun");
    EXPECT_EQ(texts.deleteReminder, "Delete note?");
    EXPECT_EQ(texts.notFound, "not found");
}
