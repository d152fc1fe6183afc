#pragma once
// The program's commands as the session-bus interfaces reach them: the controller's windows,
// the editors' list and the texts in use.

#include "dbus/ProgramCommands.h"

class AppController;
class SoundPlayer;

class BusCommands final : public ProgramCommands {
public:
    // The controller and the player must outlive this object.
    BusCommands(AppController& controller, SoundPlayer& player)
        : m_controller(controller), m_player(player) {}

    void openList() override;
    void newReminder() override;
    void showJournal() override;
    void soundOff() override;
    void exit() override;
    bool isBeingEdited(std::int32_t number) const override;
    const Texts& texts() const override;

private:
    AppController& m_controller;
    SoundPlayer& m_player;
};
