#include "i18n/Texts.h"

#include "i18n/LanguageFile.h"

void Texts::loadMain(const LanguageSection& s) {
    std::size_t line = 29;
    for (std::string* day : {&mon, &tue, &wed, &thu, &fri, &sat, &sun})
        s.assign(line++, *day);
    line = 40;
    for (std::string* text : {&specificDate, &daysOfWeek, &monthly, &daySuffix, &afterStart,
                              &minutes, &skippedFrom, &skippedTo, &noDayMarked})
        s.assign(line++, *text);
    s.assign(50, noItemMarked);
    line = 52;
    for (std::string* text : {&question, &deleteReminder, &yes, &no, &cannotPlaySound,
                              &chooseSoundFile, &chooseFileToOpen, &cannotPowerOff, &cannotRestart,
                              &changesNotSaved, &exitAndLoseChanges})
        s.assign(line++, *text);
}

void Texts::loadEditor(const LanguageSection& s) {
    s.assign(36, file);
    s.assign(37, notFound);
}
