#pragma once
// The program's commands as the session-bus interfaces reach them: the controller's windows,
// the editors' list and the texts in use.

#include "dbus/ProgramCommands.h"

class AppController;

class BusCommands final : public ProgramCommands {
public:
    // The controller must outlive this object.
    explicit BusCommands(AppController& controller) : m_controller(controller) {}

    void openList() override;
    void newReminder() override;
    void showJournal() override;
    void soundOff() override;
    void exit() override;
    bool isBeingEdited(std::int32_t number) const override;
    const Texts& texts() const override;

private:
    AppController& m_controller;
};
