#include "i18n/Texts.h"

#include <utility>

void Texts::loadMain(const LanguageSection<MainLine>& s) {
    using enum MainLine;
    const std::pair<MainLine, std::string*> texts[] = {
        {Mon, &mon},
        {Tue, &tue},
        {Wed, &wed},
        {Thu, &thu},
        {Fri, &fri},
        {Sat, &sat},
        {Sun, &sun},
        {SpecificDate, &specificDate},
        {DaysOfWeek, &daysOfWeek},
        {Monthly, &monthly},
        {DaySuffix, &daySuffix},
        {AfterStart, &afterStart},
        {Minutes, &minutes},
        {SkippedFrom, &skippedFrom},
        {SkippedTo, &skippedTo},
        {NoDayMarked, &noDayMarked},
        {NoItemMarked, &noItemMarked},
        {Question, &question},
        {DeleteQuestion, &deleteReminder},
        {Yes, &yes},
        {No, &no},
        {CannotPlaySound, &cannotPlaySound},
        {ChooseSoundFile, &chooseSoundFile},
        {ChooseFileToOpen, &chooseFileToOpen},
        {CannotPowerOff, &cannotPowerOff},
        {CannotRestart, &cannotRestart},
        {ChangesNotSaved, &changesNotSaved},
        {ExitAndLoseChanges, &exitAndLoseChanges},
    };
    for (const auto& [line, text] : texts)
        s.assign(line, *text);
}

void Texts::loadEditor(const LanguageSection<EditorLine>& s) {
    s.assign(EditorLine::File, file);
    s.assign(EditorLine::NotFound, notFound);
}
