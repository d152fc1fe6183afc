#pragma once
// The settings page of the main window: the language, whether the missed
// reminders show after start and whether the tray shows the day, the help, and
// the (hidden) buttons of the start-up shortcut. It shows and edits values; the
// program keeps them, writes them to the settings file and applies the language.

#include "desktop/ProgramSettings.h"
#include "i18n/LanguageFile.h"

#include <QWidget>
#include <memory>
#include <string>

class StartupShortcut;

namespace Ui {
class SettingsPage;
}

class SettingsPage final : public QWidget {
    Q_OBJECT
public:
    // The program's own files, looked for beside it, then where an installation puts them.
    static constexpr const char* EnglishFileName = "Chimly_en.lng";
    static constexpr const char* RussianFileName = "Chimly_ru.lng";
    static constexpr const char* HelpFileName = "Help.htm";

    explicit SettingsPage(QWidget* parent = nullptr);
    ~SettingsPage() override;

    // Shows the values (without emitting the change signals).
    void setValues(const ProgramSettings& settings);
    // The language file the checked language names: the English or the Russian file
    // of the program, or for "Other" the chosen file (empty when none was).
    // The system's bytes (see desktop/PathText.h).
    std::string selectedLanguageFile() const;
    // The same for a language choice, with `otherFile` the file chosen for "Other".
    static std::string languageFileFor(LanguageChoice language, const QString& otherFile);
    // Takes the page's captions from the main window's section of a language file.
    void loadTexts(const LanguageSection<MainLine>& section);
    // The shortcut the two shortcut buttons place and remove; the buttons are enabled
    // as it exists or not, from now on and after every click. It must outlive the page.
    void setStartupShortcut(StartupShortcut* shortcut);

signals:
    void languageChanged(LanguageChoice language);
    // A readable language file was chosen with the "..." button (full path).
    void languageFileChosen(const QString& path);
    void showMissedAtStartChanged(bool on);
    void showDayInTrayChanged(bool on);

private:
    void chooseLanguageFile();
    void openHelp();
    void updateShortcutButtons();

    std::unique_ptr<Ui::SettingsPage> m_ui;
    StartupShortcut* m_shortcut = nullptr;
};
