#pragma once
// The tray icon: its pictures (plain, the day of the month, the flashing flag),
// the flashing after an alert and its end, the tray menu, and while the desktop
// has no tray a menu in the main window instead, until a tray appears.

#include "core/Clock.h"
#include "i18n/LanguageFile.h"
#include "ui/main/TrayImages.h"

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QMenuBar;
class QSystemTrayIcon;
class QTimer;
class QWidget;
class SoundPlayer;

class TrayController final : public QObject {
    Q_OBJECT
public:
    enum class State { Plain, Day, Flashing };

    // Ticks of the flashing's end: the flashing stops after this many seconds.
    static constexpr int FlashSeconds = 11;

    // The clock and the player (stopped by "Sound off") must outlive the controller.
    TrayController(const Clock& clock, SoundPlayer& player, QObject* parent = nullptr);
    ~TrayController() override;

    State state() const { return m_state; }
    bool trayAvailable() const { return m_trayAvailable; }
    // The day of the month the day picture shows.
    int trayDay() const { return m_trayDay; }
    const TrayImageSets& images() const { return m_images; }

    // Shows the day of the month instead of the plain picture (when not flashing).
    void setShowDay(bool on);
    // Flashes the flag for FlashSeconds; a new alert starts the count again.
    void startFlashing();
    // Shows the plain or the day picture, as set.
    void refreshIcon();
    // The minute tick's day: moves the day picture on after midnight.
    void followDay(int day);
    // Takes the menu's captions from the main window's section of a language file.
    void loadTexts(const LanguageSection<MainLine>& section);
    // "New..." of the menu follows whether reminders can be changed.
    void setNewReminderEnabled(bool enabled);

    // A menu bar with the tray menu's commands for `window`, shown only while there
    // is no tray. The window owns it.
    QMenuBar* createFallbackMenuBar(QWidget* window);

signals:
    void openListRequested();
    void newReminderRequested();
    void exitRequested();
    // The tray became available after the start.
    void trayAppeared();

private:
    void setIcon(const QIcon& icon);
    void flashStep();
    void flashSecond();
    void checkTrayAppeared();

    const Clock& m_clock;
    SoundPlayer& m_player;
    TrayImageSets m_images;
    QSystemTrayIcon* m_icon;
    QMenu* m_menu;
    QAction* m_openListAction;
    QAction* m_newReminderAction;
    QAction* m_soundOffAction;
    QAction* m_exitAction;
    QPointer<QMenuBar> m_fallbackMenuBar;
    // Children named "flashTimer", "flashStopTimer" and "trayWatchTimer".
    QTimer* m_flashTimer;
    QTimer* m_flashStopTimer;
    QTimer* m_trayWatchTimer;
    int m_flashSecondsLeft = 0;
    int m_trayDay = 0;
    bool m_flashRed = true;
    bool m_showDay = false;
    bool m_trayAvailable = false;
    State m_state = State::Plain;
};
