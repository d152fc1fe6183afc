#pragma once
// The main window: the reminder list with its commands and the settings page. It
// is shown from the tray; closing it only hides it. Its commands act on the
// reminder the list shows current.

#include "core/Moment.h"
#include "desktop/ProgramSettings.h"
#include "i18n/LanguageFile.h"

#include <QMainWindow>
#include <QSize>

#include <cstdint>
#include <memory>
#include <optional>

class MessageOrder;
class ReminderEditors;
class ReminderListModel;
class ReminderListView;
class SettingsPage;
class WindowPlacer;

namespace Ui {
class MainWindow;
}

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // The designed client size at the default font.
    static constexpr QSize DesignedSize{540, 422};

    // The editors' opener gives the reminders (with their clock) and the texts; the order is
    // the list's, over the same reminders. Both must outlive the window. The list follows
    // every change of the reminders.
    MainWindow(const ReminderEditors& editors, MessageOrder& order, QWidget* parent = nullptr);
    ~MainWindow() override;

    SettingsPage* settingsPage() const;
    ReminderListView* listView() const;

    // "Open list..." of the tray: shows the window (also one both minimized and
    // hidden) and brings it to the front.
    void showList();
    // Reads the reminders again after a load or a change.
    void reloadReminders();
    // After the reminder file was loaded: the first column fit and the focus.
    void remindersLoaded();
    // Has the list show its next times and descriptions as of the clock's moment when it
    // is next drawn (after every scan; the scan's moment is not needed).
    void refreshComputedColumns();
    // Takes the captions of the main window's section of a language file (lines it lacks
    // keep theirs) and the shared texts of the editors' context, and shows the schedule
    // texts in them at once.
    void loadTexts(const LanguageSection<MainLine>& section);
    // The file could not be read: reminders cannot be changed, and the status bar says why.
    void showReadOnly(const QString& why);
    // Whether the desktop has a tray: without one, closing minimizes instead of hiding.
    void setTrayAvailable(bool available) { m_trayAvailable = available; }

    // The commands. "New..." of the list acts only while the list shows; "New..."
    // for everywhere (the list's menu and keys) always; edit, copy and delete act on
    // the current reminder while the list shows.
    void newFromList();
    void newReminder();
    void editReminder();
    void copyReminder();
    void deleteReminder();
    // Enables the commands that the current reminder and the file allow.
    void updateActions();
    // The journal command is enabled while the journal holds entries.
    void setJournalEnabled(bool enabled);

    // Position, outer size and state as the settings file keeps them.
    void applyPlacement(const WindowPlacement& placement);
    WindowPlacement placement() const;

signals:
    // The journal command.
    void journalRequested();
    // The window was placed, moved, resized, maximized, minimized or restored, hidden, or is
    // being destroyed: placement is where it should open in the next run.
    void placed(const WindowPlacement& placement);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool listIsUsable() const;
    std::optional<std::int32_t> currentNumber() const;

    std::unique_ptr<Ui::MainWindow> m_ui;
    const ReminderEditors& m_editors;
    ReminderListModel* m_listModel;
    WindowPlacer* m_placer;
    bool m_trayAvailable = false;
};
