#pragma once
// What the session-bus interfaces ask of the running program beyond its reminders: its
// windows' commands, whether a reminder is open in an editor, and the texts in use. The
// program's controller provides it, so that this layer needs no windows.

#include "i18n/Texts.h"

#include <cstdint>

class ProgramCommands {
public:
    virtual ~ProgramCommands() = default;

    virtual void openList() = 0;
    virtual void newReminder() = 0;
    virtual void showJournal() = 0;
    virtual void soundOff() = 0;
    // "Exit", as from the tray menu.
    virtual void exit() = 0;
    // An editor is open for reminder `number`: what is typed there must not be lost.
    virtual bool isBeingEdited(std::int32_t number) const = 0;
    // The texts of the language in use.
    virtual const Texts& texts() const = 0;
};
