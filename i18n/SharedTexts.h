#pragma once
// Program-wide texts that language files may replace, with their English defaults,
// and the path of the language file in use. Used on the GUI thread only.

#include <string>

extern std::string TextSpecificDate;
extern std::string TextDaysOfWeek;
extern std::string TextMonthly;
extern std::string TextDaySuffix;
extern std::string TextAfterStart;
extern std::string TextMinutes;
extern std::string TextMon;
extern std::string TextTue;
extern std::string TextWed;
extern std::string TextThu;
extern std::string TextFri;
extern std::string TextSat;
extern std::string TextSun;
extern std::string TextSkippedFrom;
extern std::string TextSkippedTo;
extern std::string TextNoDayMarked;
extern std::string TextNoItemMarked;
extern std::string TextQuestion;
extern std::string TextDeleteNote;
extern std::string TextYes;
extern std::string TextNo;
extern std::string TextFile;
extern std::string TextNotFound;

// Path of the language file in use; at most 255 characters (longer paths are cut).
extern std::string CurrentLanguageFile;
constexpr std::size_t MaxLanguageFilePath = 255;
void SetCurrentLanguageFile(const std::string& path);

// Puts every shared text back to its English default and clears CurrentLanguageFile.
void ResetSharedTexts();
