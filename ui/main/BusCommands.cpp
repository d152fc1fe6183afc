#include "ui/main/BusCommands.h"

#include "engine/ReminderActions.h"
#include "ui/controls/WindowList.h"
#include "ui/editor/ReminderEditor.h"
#include "ui/main/AppController.h"
#include "ui/main/MainWindow.h"

void BusCommands::openList() {
    m_controller.mainWindow()->showList();
}

void BusCommands::newReminder() {
    m_controller.mainWindow()->newReminder();
}

void BusCommands::showJournal() {
    m_controller.showJournal();
}

void BusCommands::soundOff() {
    ReminderActions::stopSound(&m_controller, m_player);
}

void BusCommands::exit() {
    m_controller.exitAsked();
}

bool BusCommands::isBeingEdited(std::int32_t number) const {
    return WindowList<ReminderEditor>::find(number) != nullptr;
}

const Texts& BusCommands::texts() const {
    return m_controller.texts();
}
