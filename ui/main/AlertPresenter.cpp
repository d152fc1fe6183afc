#include "ui/main/AlertPresenter.h"

#include "core/AppPaths.h"
#include "engine/ReminderActions.h"
#include "platform/PowerControl.h"
#include "ui/alert/AlertWindow.h"
#include "ui/main/TrayController.h"

AlertPresenter::AlertPresenter(TrayController& tray, const Clock& clock, QObject* parent)
    : QObject(parent), m_tray(tray), m_clock(clock) {
}

void AlertPresenter::present(const Reminder& e) {
    if (e.number == 0)
        return;
    if (e.power) {
        if (e.afterStart && e.minutesAfterStart == 0)
            return;
        if (e.powerAction == PowerAction::PowerOff)
            programPowerControl().requestPowerOff();
        else
            programPowerControl().requestReboot();
        return;
    }
    if (e.flashTray)
        m_tray.startFlashing();
    if (e.openFile && !e.openPath.empty())
        ReminderActions::openFileAsync(this, QString::fromStdString(e.openPath));
    // The reminder's own sound, or the click when that is not a file that exists; when it
    // exists but cannot be played, the click all the same, so that the reminder is heard.
    const QString sound = e.playSound ? QString::fromStdString(e.soundPath) : QString();
    const QString clickPath = QString::fromStdString(clickSoundPath());
    const QString click = e.click ? clickPath : QString();
    if (!sound.isEmpty() || !click.isEmpty())
        ReminderActions::playSoundAsync(this, sound, click, clickPath);
    if (e.showAlert)
        showAlertWindow(QString::fromStdString(e.message), e.number);
}

void AlertPresenter::showAlertWindow(const QString& message, std::int32_t number) {
    if (AlertWindow* alert = AlertWindow::showAlert(message, number, m_clock.now().local))
        connect(alert, &AlertWindow::editRequested, this, &AlertPresenter::editRequested,
                Qt::UniqueConnection);
}
