#pragma once
// Presents a reminder that fell due: its power action, or the tray's flashing,
// the file it opens, its sound or the click, and its alert window.

#include "core/Clock.h"
#include "core/Reminder.h"

#include <QObject>
#include <cstdint>

class TrayController;

class AlertPresenter final : public QObject {
    Q_OBJECT
public:
    // The tray and the clock must outlive the presenter.
    AlertPresenter(TrayController& tray, const Clock& clock, QObject* parent = nullptr);

    // Connected to the engine's reminderDue. A power action replaces every other
    // presentation; a reminder without a number presents nothing.
    void present(const Reminder& reminder);
    // Opens (or reuses) the alert window of reminder `number`.
    void showAlertWindow(const QString& message, std::int32_t number);

signals:
    // "Edit..." in an alert window: the receiver opens the editor and closes the alert.
    void editRequested(std::int32_t number);

private:
    TrayController& m_tray;
    const Clock& m_clock;
};
