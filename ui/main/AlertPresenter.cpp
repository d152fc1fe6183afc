#include "ui/main/AlertPresenter.h"

#include "core/AppPaths.h"
#include "engine/ReminderActions.h"
#include "platform/PowerControl.h"
#include "platform/SystemLog.h"
#include "ui/alert/AlertWindow.h"
#include "ui/dialogs/InfoDialog.h"
#include "ui/main/TrayController.h"

#include <QCoreApplication>
#include <QTimer>

AlertPresenter::AlertPresenter(TrayController& tray, const Clock& clock, const Texts& texts,
                               SoundPlayer& player, PowerControl& power, QObject* parent)
    : QObject(parent), m_tray(tray), m_clock(clock), m_texts(texts), m_player(player),
      m_power(power) {
}

void AlertPresenter::present(const Reminder& e) {
    if (e.number == 0)
        return;
    if (e.power) {
        if (e.afterStart && e.minutesAfterStart == 0)
            return;
        requestPower(e.powerAction);
        return;
    }
    if (e.flashTray)
        m_tray.startFlashing();
    if (e.openFile && !e.openPath.empty())
        ReminderActions::openFileAsync(this, e.openPath);
    // The reminder's own sound, or the click when that is not a file that exists; when it
    // exists but cannot be played, the click all the same, so that the reminder is heard.
    // Paths stay the system's bytes: the click beside a program whose folder name is not
    // UTF-8 must still be found.
    const std::string sound = e.playSound ? e.soundPath : std::string();
    const std::string clickPath = clickSoundPath();
    const std::string click = e.click ? clickPath : std::string();
    if (!sound.empty() || !click.empty())
        ReminderActions::playSoundAsync(this, m_player, sound, click, clickPath);
    if (e.showAlert)
        showAlertWindow(QString::fromStdString(e.message), e.number);
}

void AlertPresenter::requestPower(PowerAction action) {
    const bool powerOff = action == PowerAction::PowerOff;
    const std::string failed = powerOff ? m_texts.cannotPowerOff : m_texts.cannotRestart;
    // Needs nothing of the presenter: the answer may come after it is gone.
    auto answer = [failed](const PowerControl::Reply& reply) {
        if (reply.accepted)
            return;
        writeToSystemLog(failed + ": " + reply.error);
        const QString text =
            QString::fromStdString(reply.error.empty() ? failed : failed + '\n' + reply.error);
        // The window waits for the user: shown from the event loop, not from inside the
        // handling of the system's answer.
        QTimer::singleShot(0, qApp, [text] { showInfo(text); });
    };
    if (powerOff)
        m_power.requestPowerOff(std::move(answer));
    else
        m_power.requestReboot(std::move(answer));
}

void AlertPresenter::showAlertWindow(const QString& message, std::int32_t number) {
    const ClockReading now = m_clock.now();
    AlertWindow* alert = AlertWindow::showAlert(message, number, now.local, m_lines);
    if (alert == nullptr)
        return;
    connect(alert, &AlertWindow::editRequested, this, &AlertPresenter::editRequested,
            Qt::UniqueConnection);
    if (number == 0)
        return;
    connect(alert, &AlertWindow::answered, this, &AlertPresenter::alertAnswered,
            Qt::UniqueConnection);
    // The occurrence is the minute that fell due, whatever second the scan ran at.
    const auto intoMinute = now.local - std::chrono::floor<std::chrono::minutes>(now.local);
    emit alertShown(number, {now.utc - intoMinute, now.local - intoMinute, now.monotonic});
}
