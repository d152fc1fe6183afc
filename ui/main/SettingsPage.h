#pragma once
// The settings page of the main window: the language, whether the missed
// reminders show after start and whether the tray shows the day. It only shows
// and edits values; the program keeps them and writes them to the settings file.

#include "desktop/ProgramSettings.h"

#include <QWidget>
#include <memory>

namespace Ui {
class SettingsPage;
}

class SettingsPage final : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent = nullptr);
    ~SettingsPage() override;

    // Shows the values (without emitting the change signals).
    void setValues(const ProgramSettings& settings);

signals:
    void languageChanged(LanguageChoice language);
    void showMissedAtStartChanged(bool on);
    void showDayInTrayChanged(bool on);

private:
    std::unique_ptr<Ui::SettingsPage> m_ui;
};
