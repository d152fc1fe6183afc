#pragma once
// The program's run: finds its files, reads the settings, holds the reminders, the
// engine, the tray, the alert presentation and the main window (built when first
// needed), has the reminders loaded a moment after the start, and ends in one place: the exit
// ends the event loops, and once they have returned (aboutToQuit) the other windows
// close, the reminders' last changes and the settings are written. The settings are also written at
// the start and after each scan that alerted or filled the journal, so that a run killed
// midway leaves the moment up to which it had shown everything.

#include "app/Settings.h"
#include "core/Clock.h"
#include "core/MissedJournal.h"
#include "core/ReminderStore.h"
#include "i18n/LanguageFile.h"
#include "i18n/Texts.h"
#include "platform/MinuteWake.h"
#include "platform/PlatformServices.h"
#include "ui/main/MessageOrder.h"
#include "ui/main/QtTranslation.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class AlertPresenter;
class BusCommands;
class MainWindow;
class PendingAlerts;
class SleepDelay;
class QTimer;
class ReminderEditors;
class ReminderEngine;
class Reminders;
class TrayController;

class AppController final : public QObject {
    Q_OBJECT
public:
    // The clock and the platform services must outlive the controller, which hands them
    // down to the tray, the alerts, the editors and the settings page; the program passes
    // the system clock, the platform's services and the SQLite reminder file. The wake
    // drives the engine's tick once the reminders are loaded.
    AppController(const Clock& clock, PlatformServices services,
                  std::unique_ptr<MinuteWake> wake = createMinuteWake(),
                  std::unique_ptr<ReminderStore> store = makeSqliteReminderStore(),
                  QObject* parent = nullptr);
    // Destroys the editors and alert windows still open, without saving.
    ~AppController() override;

    // Loads the reminder file 100 ms after the event loop starts.
    void start();
    // Has the reminders loaded; once they are, starts the minute wake. A new file that could
    // not be created does not stop the program; a file with wrong content does: no minute
    // wake, and it is never written over. A file that could not be read for another reason
    // is read again each minute, the failure shown once.
    void loadReminders();
    // Ends the event loops, nested ones of open dialogs included; the rest of the
    // exit runs once every loop has returned, so no window goes away under code of
    // its own that is still running. Never asks: the end of a session and SIGTERM.
    void exit();
    // The "Exit" command: has the reminders try their save again and waits for it; when
    // changes still could not be saved, asks before anything closes whether to exit and
    // lose them. "No" keeps the program running, the save still tried each minute.
    void exitAsked();
    // Has the reminders written and writes the settings without ending (the session
    // ends); a failure goes to the system log, as at the exit.
    void saveEverything();
    // Destroys the open editors (their unsaved input is discarded) and alert windows.
    void closeOtherWindows();
    // "Edit..." of an alert window: opens the reminder's editor and closes the alert;
    // a reminder deleted meanwhile leaves the alert open.
    void editFromAlert(std::int32_t number);
    // The journal command: brings back the journal window, or opens one with every entry
    // of the run's journal (dismissed ones again too).
    void showJournal();

    // The main window, built at its first use ("Open list...", "New..."), or at once
    // when there is no tray to reach the program through.
    MainWindow* mainWindow();
    bool mainWindowBuilt() const { return m_window != nullptr; }
    TrayController* tray() const { return m_tray; }
    AlertPresenter* alertPresenter() const { return m_alerts; }
    ReminderEngine* engine() const { return m_engine; }
    const MinuteWake& minuteWake() const { return *m_wake; }
    Reminders& reminders() const { return *m_reminders; }
    const Settings& settings() const { return *m_settings; }
    const std::string& reminderFilePath() const { return m_reminderFilePath; }
    // The entries of the run's journal: what was missed while the program was not
    // running (found at the start when "Show Missed after start" is on) and in the gaps
    // of this run.
    const MissedJournal& missedJournal() const { return m_missedJournal; }
    // The texts of the language in use.
    const Texts& texts() const { return m_texts; }
    int missedCount() const { return m_missedJournal.count(); }

private:
    // Where a failure to write a file is told: in a window while the program runs; on
    // standard error and in the system log while it ends, when no one may be there to
    // close a window and a window would hold up the end of the session.
    enum class Reporting { Window, SystemLog };

    void shutdown();
    void remindersLoaded(const QString& error);
    void remindersNotRead(const QString& error);
    // Puts the program on the session bus, once, when the first load has ended; without a
    // session bus it runs on alone, the reason in the system log.
    void publishOnBus();
    // Told in a window while running, in the system log while ending.
    void report(const QString& text);
    void report(const QString& text, Reporting reporting);
    // A save of the reminders failed: reported, unless the question of "Exit" tells it.
    void saveFailed(const QString& text);
    // Asks whether to exit although the changes could not be saved; true for "Yes".
    bool askToLoseChanges();
    void buildMainWindow();
    // Writes the settings with lastTime as the end of the run so far, the placements the
    // windows have handed on included. A failure while running is shown once per run.
    void writeSettings(const ClockReading& lastTime, Reporting reporting);
    // A reminder was handed out or the journal filled: the scan's moment is written, once
    // per scan.
    void noteShown();
    // Makes `path` the language file in use: the main window, the tray and the shared
    // texts take its main section at once (a file without one changes nothing there),
    // and the openers of the other windows their sections, for the windows opened from now
    // on; Qt's own texts follow the language.
    void useLanguageFile(const std::string& path);
    // The reminders were added, changed or removed: the engine and the journal follow.
    void remindersChanged();
    // A scan found reminders that fell due in a gap (the computer slept, or the clock
    // jumped forward).
    void addSkipped(const std::vector<MissedOccurrence>& skipped, Moment from, Moment to);
    // The open journal window shows the journal as it is now.
    void refillJournalWindow();
    // The journal command is on while the journal has entries.
    void journalChanged();

    const Clock& m_clock;
    PlatformServices m_services;
    Texts m_texts;
    Reminders* m_reminders;
    // The list's order, made after the load so that the first "Open list..." need not sort.
    MessageOrder m_messageOrder;
    MissedJournal m_missedJournal;
    std::unique_ptr<PendingAlerts> m_pendingAlerts;
    // The settings file's values and its only writer; a child.
    Settings* m_settings = nullptr;
    std::string m_reminderFilePath;
    Moment m_programStart = DayCountEpoch;
    std::unique_ptr<ReminderEditors> m_editors;
    ReminderEngine* m_engine;
    TrayController* m_tray;
    AlertPresenter* m_alerts;
    // A child named "startTimer".
    QTimer* m_startTimer;
    std::unique_ptr<MinuteWake> m_wake;
    // Null where the system offers none.
    std::unique_ptr<SleepDelay> m_sleepDelay;
    std::unique_ptr<MainWindow> m_window;
    // The program on the session bus, once published.
    std::unique_ptr<BusCommands> m_busCommands;
    std::unique_ptr<QObject> m_busObject;
    // The program or the session ends: what the reminders report goes to the log.
    bool m_ending = false;
    // The "Exit" command is saving or asking: a failed save goes to its question, and a
    // second "Exit" meanwhile does nothing.
    bool m_exitAsked = false;
    // Why the reminder file cannot be changed, when it was loaded and cannot.
    QString m_readOnlyReason;
    // The main section of the language file in use, when it has one.
    std::optional<LanguageSection<MainLine>> m_mainTexts;
    // Qt's own texts in Russian while the Russian language is chosen.
    QtTranslation m_qtTranslation;
};
