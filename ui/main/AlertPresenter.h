#pragma once
// Presents a reminder that fell due: its power action, or the tray's flashing,
// the file it opens, its sound or the click, and its alert window.

#include "core/Clock.h"
#include "core/Reminder.h"
#include "i18n/LanguageFile.h"
#include "i18n/Texts.h"

#include <QObject>
#include <cstdint>

class PowerControl;
class SoundPlayer;
class TrayController;

class AlertPresenter final : public QObject {
    Q_OBJECT
public:
    // The tray, the clock, the texts, the player and the power control must outlive the
    // presenter; the texts are read when a message is shown, so a language chosen later
    // is used.
    AlertPresenter(TrayController& tray, const Clock& clock, const Texts& texts,
                   SoundPlayer& player, PowerControl& power, QObject* parent = nullptr);

    // Connected to the engine's reminderDue. A power action replaces every other
    // presentation; a reminder without a number presents nothing.
    void present(const Reminder& reminder);
    // Opens (or reuses) the alert window of reminder `number`, for the minute the clock
    // reads now.
    void showAlertWindow(const QString& message, std::int32_t number);
    // The texts of the alert windows opened from now on; windows open keep theirs.
    void loadTexts(LanguageSection<AlertLine> lines) { m_lines = std::move(lines); }

signals:
    // "Edit..." in an alert window: the receiver opens the editor and closes the alert.
    void editRequested(std::int32_t number);
    // An alert window of a saved reminder showed the occurrence of minute `due`, or the user
    // answered it.
    void alertShown(std::int32_t number, const ClockReading& due);
    void alertAnswered(std::int32_t number);

private:
    // Asks the system to power off or restart; a refusal is shown in an information
    // window of its own and logged, since the user may not be at the computer.
    void requestPower(PowerAction action);

    TrayController& m_tray;
    const Clock& m_clock;
    const Texts& m_texts;
    SoundPlayer& m_player;
    PowerControl& m_power;
    LanguageSection<AlertLine> m_lines;
};
