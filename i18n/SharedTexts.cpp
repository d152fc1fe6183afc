#include "SharedTexts.h"

std::string TextSpecificDate;
std::string TextDaysOfWeek;
std::string TextMonthly;
std::string TextDaySuffix;
std::string TextAfterStart;
std::string TextMinutes;
std::string TextMon;
std::string TextTue;
std::string TextWed;
std::string TextThu;
std::string TextFri;
std::string TextSat;
std::string TextSun;
std::string TextSkippedFrom;
std::string TextSkippedTo;
std::string TextNoDayMarked;
std::string TextNoItemMarked;
std::string TextQuestion;
std::string TextDeleteNote;
std::string TextYes;
std::string TextNo;
std::string TextFile;
std::string TextNotFound;
std::string CurrentLanguageFile;

namespace {
// Applies the defaults during static initialisation, after the strings above exist.
const bool defaultsApplied = (ResetSharedTexts(), true);
} // namespace

void SetCurrentLanguageFile(const std::string& path) {
    // Cut at a character boundary so that a UTF-8 path never ends in half a character.
    std::size_t chars = 0, i = 0;
    while (i < path.size() && chars < MaxLanguageFilePath) {
        const auto c = static_cast<unsigned char>(path[i]);
        i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        ++chars;
    }
    CurrentLanguageFile = path.substr(0, i);
}

void ResetSharedTexts() {
    TextSpecificDate = "Specific date and time";
    TextDaysOfWeek = "Days of week";
    TextMonthly = "Monthly";
    TextDaySuffix = "th";
    TextAfterStart = "After starting, after";
    TextMinutes = "minutes";
    TextMon = "Mon";
    TextTue = "Tue";
    TextWed = "Wed";
    TextThu = "Thu";
    TextFri = "Fri";
    TextSat = "Sat";
    TextSun = "Sun";
    TextSkippedFrom = "Events that skipped from";
    TextSkippedTo = "to";
    TextNoDayMarked = "At least one day must be marked";
    TextNoItemMarked = "At least one item must be marked";
    TextQuestion = "Question";
    TextDeleteNote = "Delete note?";
    TextYes = "Yes";
    TextNo = "No";
    TextFile = "File";
    TextNotFound = "not found";
    CurrentLanguageFile.clear();
}
