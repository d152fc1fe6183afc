#pragma once
// The program's texts that a language file may replace, with their English defaults.
// One object, handed to whatever builds texts.

#include "i18n/LanguageFile.h"

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
    std::string cannotPlaySound = "Cannot play this sound file";
    std::string chooseSoundFile = "Choose a sound file";
    std::string chooseFileToOpen = "Choose a file to open";
    std::string cannotPowerOff = "The computer could not be switched off";
    std::string cannotRestart = "The computer could not be restarted";
    // Followed by the file's path and a colon, then the reason on a line of its own.
    std::string changesNotSaved = "The changes could not be saved to";
    std::string exitAndLoseChanges = "Exit and lose them?";

    // Takes the texts that the main window's section ([Main]) holds; lines the section
    // lacks leave their texts as they are.
    void loadMain(const LanguageSection<MainLine>& section);
    // The same for the two texts of the editor's section ([Editor]).
    void loadEditor(const LanguageSection<EditorLine>& section);
};
