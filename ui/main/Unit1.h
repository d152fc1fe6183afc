#pragma once
// The main window: lives for the whole run in the tray, owns the reminder table
// and the engine, presents due reminders and holds the list and settings pages.

#include "core/Clock.h"
#include "core/MissedJournal.h"
#include "core/ReminderRepository.h"
#include "engine/ReminderEngine.h"
#include "i18n/Texts.h"
#include "ui/main/TrayImages.h"

#include <QIcon>
#include <QMainWindow>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

struct EditorContext;

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

class TForm1 final : public QMainWindow {
    Q_OBJECT
public:
    // The clock must outlive the window; the program passes the system clock.
    explicit TForm1(const Clock& clock = systemClock(), QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up and exit.
    void TimerStartTimer();
    void actExitExecute();
    void FormDestroy();
    bool SaveCDS();
    void CloseOtherWindows();
    // Saves the table and the settings without ending (the session is ending).
    void SaveEverything();

    // Alert presentation and the tray.
    void ShowCurrentNote(const Reminder& reminder);
    void RefreshCalcFields(Moment now);
    // The tray's day icon follows the day of the month.
    void MinuteTickDayStep(int day);
    void ShowAlertWindow(const QString& text, std::int32_t number);
    void StartTrayAnimation();
    void TimerStopAnimationTimer();
    void RefreshTrayIcon();
    void List1Click();
    void actSoundOffExecute();

    // Reminder commands; those under the list guard act only while the list shows.
    bool ListIsUsable() const;
    bool CurrentRowHasNumber() const;
    void actNewExecute();
    void actNewThingExecute();
    void actEditThingExecute();
    void actCopyThingExecute();
    void actDelThingExecute();
    void actEditThingUpdate();
    // "Edit..." of an alert window: opens the reminder's editor and closes the alert.
    void AlertEditClick(std::int32_t N);

    // Settings file.
    void ReadSettings();
    void WriteSettings();

    enum class TrayState { Plain, Day, Flashing };
    TrayState trayState() const { return trayState_; }
    bool trayAvailable() const { return trayAvailable_; }

    ReminderRepository DataModule1;
    MissedJournal missedJournal;
    Texts texts;
    ReminderEngine* engine() const { return engine_; }
    QTimer TimerStart, Timer1, TimerStopAnimation;
    std::int32_t MissedEvents = 0;
    std::uint16_t stopAnimationCounter = 0;
    std::uint16_t XDayPrev = 0;
    Moment ProgramStartTime = DayCountEpoch;
    Moment LastRunTime = DayCountEpoch;
    bool ShowMissedAtStart = true;
    bool ShowDayInTray = false;
    QString settingsPath;
    QString thingsPath;

    QTabWidget* PageControl1 = nullptr;
    class ThingsPanel* Panel2 = nullptr;
    QCheckBox* chbMissed = nullptr;
    QCheckBox* chbShowDay = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QLabel* Label1 = nullptr;
    QAction* actNew = nullptr;
    QAction* actNewThing = nullptr;
    QAction* actEditThing = nullptr;
    QAction* actCopyThing = nullptr;
    QAction* actDelThing = nullptr;
    QAction* actJournal = nullptr;
    QAction* actSoundOff = nullptr;
    QAction* actExit = nullptr;
    QAction* List1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void BuildListPage(QWidget* page);
    void BuildSettingsPage(QWidget* page);
    void BuildTray();
    void BuildCommands();
    void TableChanged();
    void SetTrayIcon(const QIcon& icon);
    void CheckTrayAppeared();
    void UseTrayFallback(bool on);
    // Gives the window the outer size read from the settings once its frame is known.
    void ApplyPlacedOuterSize();

    const Clock& clock_;
    ReminderEngine* engine_ = nullptr;
    class ThingsListModel* listModel_ = nullptr;
    QSystemTrayIcon* TrayIcon1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenuBar* fallbackMenu_ = nullptr;
    TrayImageSets trayImages_;
    std::unique_ptr<EditorContext> editorContext_;
    QTimer animationTimer_, trayWatch_;
    bool animationRed_ = true;
    bool trayAvailable_ = false;
    TrayState trayState_ = TrayState::Plain;
    // The outer size from the settings, until the window has been framed.
    QSize placedOuterSize_;
    bool tableOpen_ = false;
    bool destroyed_ = false;
};
