#include "ui/main/TrayController.h"

#include "engine/ReminderActions.h"
#include "ui/controls/SectionText.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QTimer>

TrayController::TrayController(const Clock& clock, SoundPlayer& player, QObject* parent)
    : QObject(parent), m_clock(clock), m_player(player), m_icon(new QSystemTrayIcon(this)),
      m_menu(new QMenu), m_openListAction(new QAction(QStringLiteral("Open list..."), this)),
      m_newReminderAction(new QAction(QStringLiteral("New..."), this)),
      m_soundOffAction(new QAction(QStringLiteral("Sound off"), this)),
      m_exitAction(new QAction(QStringLiteral("Exit"), this)), m_flashTimer(new QTimer(this)),
      m_flashStopTimer(new QTimer(this)), m_trayWatchTimer(new QTimer(this)) {
    m_openListAction->setObjectName(QStringLiteral("trayOpenListAction"));
    m_newReminderAction->setObjectName(QStringLiteral("trayNewReminderAction"));
    m_soundOffAction->setObjectName(QStringLiteral("traySoundOffAction"));
    m_exitAction->setObjectName(QStringLiteral("trayExitAction"));
    connect(m_openListAction, &QAction::triggered, this, &TrayController::openListRequested);
    connect(m_newReminderAction, &QAction::triggered, this, &TrayController::newReminderRequested);
    connect(m_soundOffAction, &QAction::triggered, this,
            [this] { ReminderActions::stopSound(this, m_player); });
    connect(m_exitAction, &QAction::triggered, this, &TrayController::exitRequested);

    m_menu->addAction(m_openListAction);
    m_menu->addAction(m_newReminderAction);
    m_menu->addSeparator();
    m_menu->addAction(m_soundOffAction);
    m_menu->addSeparator();
    m_menu->addAction(m_exitAction);

    m_icon->setToolTip(QStringLiteral("Chimewell"));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
                    emit openListRequested();
            });
    setIcon(m_images.plain());
    m_icon->show();

    m_flashTimer->setObjectName(QStringLiteral("flashTimer"));
    m_flashTimer->setInterval(400);
    connect(m_flashTimer, &QTimer::timeout, this, &TrayController::flashStep);
    m_flashStopTimer->setObjectName(QStringLiteral("flashStopTimer"));
    m_flashStopTimer->setInterval(1000);
    connect(m_flashStopTimer, &QTimer::timeout, this, &TrayController::flashSecond);

    // Without a tray the program stays reachable through the main window; a tray
    // that appears later is looked for every second.
    m_trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    m_trayWatchTimer->setObjectName(QStringLiteral("trayWatchTimer"));
    m_trayWatchTimer->setInterval(1000);
    connect(m_trayWatchTimer, &QTimer::timeout, this, &TrayController::checkTrayAppeared);
    if (!m_trayAvailable)
        m_trayWatchTimer->start();
}

TrayController::~TrayController() {
    delete m_menu; // a menu without parent: the tray icon does not own it
}

QMenuBar* TrayController::createFallbackMenuBar(QWidget* window) {
    auto* bar = new QMenuBar(window);
    bar->setObjectName(QStringLiteral("fallbackMenuBar"));
    QMenu* program = bar->addMenu(QStringLiteral("&Program"));
    program->addAction(m_newReminderAction);
    program->addAction(m_soundOffAction);
    program->addSeparator();
    program->addAction(m_exitAction);
    bar->setVisible(!m_trayAvailable);
    m_fallbackMenuBar = bar;
    return bar;
}

void TrayController::checkTrayAppeared() {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_trayWatchTimer->stop();
    m_trayAvailable = true;
    if (m_fallbackMenuBar)
        m_fallbackMenuBar->setVisible(false);
    // Embed the icon in the tray that has just appeared.
    m_icon->hide();
    m_icon->show();
    emit trayAppeared();
}

void TrayController::loadTexts(const LanguageSection<MainLine>& section) {
    const std::pair<MainLine, QAction*> captions[] = {{MainLine::NewReminder, m_newReminderAction},
                                                      {MainLine::SoundOff, m_soundOffAction},
                                                      {MainLine::Exit, m_exitAction},
                                                      {MainLine::OpenList, m_openListAction}};
    for (const auto& [line, action] : captions)
        withLine(section, line, [action](const QString& t) { action->setText(t); });
}

void TrayController::setNewReminderEnabled(bool enabled) {
    m_newReminderAction->setEnabled(enabled);
}

void TrayController::setIcon(const QIcon& icon) {
    m_icon->setIcon(icon);
}

void TrayController::setShowDay(bool on) {
    m_showDay = on;
    if (m_state != State::Flashing)
        refreshIcon();
}

void TrayController::startFlashing() {
    m_state = State::Flashing;
    m_flashRed = true;
    setIcon(m_images.flag(0));
    m_flashTimer->start();
    m_flashSecondsLeft = FlashSeconds;
    if (!m_flashStopTimer->isActive())
        m_flashStopTimer->start();
}

void TrayController::flashStep() {
    m_flashRed = !m_flashRed;
    setIcon(m_images.flag(m_flashRed ? 0 : 1));
}

void TrayController::flashSecond() {
    if (--m_flashSecondsLeft > 0)
        return;
    m_flashStopTimer->stop();
    m_flashTimer->stop();
    refreshIcon();
}

void TrayController::refreshIcon() {
    if (m_showDay) {
        m_state = State::Day;
        m_trayDay = calendarTime(m_clock.now().local).day;
        setIcon(m_images.day(m_trayDay));
    } else {
        m_state = State::Plain;
        setIcon(m_images.plain());
    }
}

void TrayController::followDay(int day) {
    if (m_state != State::Day || day == m_trayDay)
        return;
    m_trayDay = day;
    setIcon(m_images.day(day));
}
