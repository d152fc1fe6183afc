#include "i18n/Texts.h"

#include <gtest/gtest.h>

TEST(Texts, EnglishDefaults) {
    const Texts texts;
    EXPECT_EQ(texts.specificDate, "Specific date and time");
    EXPECT_EQ(texts.afterStart, "After starting, after");
    EXPECT_EQ(texts.sun, "Sun");
    EXPECT_EQ(texts.deleteReminder, "Delete note?");
    EXPECT_EQ(texts.notFound, "not found");
    EXPECT_EQ(texts.languageFile(), "");
}

TEST(Texts, LanguageFilePathIsCutAt255Characters) {
    Texts texts;
    texts.setLanguageFile("/" + std::string(300, 'a'));
    EXPECT_EQ(texts.languageFile().size(), 255u);
    // Multi-byte characters count as one and are never split.
    texts.setLanguageFile(std::string(254, 'a') + "жж");
    EXPECT_EQ(texts.languageFile(), std::string(254, 'a') + "ж");
}
