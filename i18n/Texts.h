#pragma once
// The program's texts that a language file may replace, with their English defaults,
// and the path of the language file they came from. One object, handed to whatever
// builds texts.

#include <cstddef>
#include <string>

struct Texts {
    std::string specificDate = "Specific date and time";
    std::string daysOfWeek = "Days of week";
    std::string monthly = "Monthly";
    std::string daySuffix = "th";
    std::string afterStart = "After starting, after";
    std::string minutes = "minutes";
    std::string mon = "Mon";
    std::string tue = "Tue";
    std::string wed = "Wed";
    std::string thu = "Thu";
    std::string fri = "Fri";
    std::string sat = "Sat";
    std::string sun = "Sun";
    std::string skippedFrom = "Events that skipped from";
    std::string skippedTo = "to";
    std::string noDayMarked = "At least one day must be marked";
    std::string noItemMarked = "At least one item must be marked";
    std::string question = "Question";
    std::string deleteReminder = "Delete note?";
    std::string yes = "Yes";
    std::string no = "No";
    std::string file = "File";
    std::string notFound = "not found";

    // Path of the language file in use; empty for the defaults.
    const std::string& languageFile() const { return m_languageFile; }
    // Longer paths are cut to maxLanguageFilePath characters, never inside a character.
    void setLanguageFile(const std::string& path);
    static constexpr std::size_t maxLanguageFilePath = 255;

private:
    std::string m_languageFile;
};
