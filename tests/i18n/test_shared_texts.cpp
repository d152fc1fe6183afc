#include "SharedTexts.h"

#include <gtest/gtest.h>

TEST(SharedTexts, DefaultsAndReset) {
    EXPECT_EQ(TextSpecificDate, "Specific date and time");
    EXPECT_EQ(TextAfterStart, "After starting, after");
    EXPECT_EQ(TextSun, "Sun");
    EXPECT_EQ(TextDeleteNote, "Delete note?");
    EXPECT_EQ(TextNotFound, "not found");
    TextMon = "Пн";
    SetCurrentLanguageFile("/x.lng");
    ResetSharedTexts();
    EXPECT_EQ(TextMon, "Mon");
    EXPECT_EQ(CurrentLanguageFile, "");
}

TEST(SharedTexts, LanguageFilePathIsCutAt255Characters) {
    SetCurrentLanguageFile("/" + std::string(300, 'a'));
    EXPECT_EQ(CurrentLanguageFile.size(), 255u);
    // Multi-byte characters count as one and are never split.
    SetCurrentLanguageFile(std::string(254, 'a') + "жж");
    EXPECT_EQ(CurrentLanguageFile, std::string(254, 'a') + "ж");
    ResetSharedTexts();
}
