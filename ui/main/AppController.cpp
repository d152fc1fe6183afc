#include "ui/main/AppController.h"

#include "app/PendingAlerts.h"
#include "app/Reminders.h"
#include "core/AppPaths.h"
#include "dbus/ProgramBus.h"
#include "desktop/PathText.h"
#include "engine/ReminderEngine.h"
#include "i18n/LanguageFile.h"
#include "platform/DesktopNotifications.h"
#include "platform/SleepDelay.h"
#include "platform/SystemLog.h"
#include "ui/alert/AlertWindow.h"
#include "ui/controls/AboutBox.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/dialogs/InfoDialog.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/editor/ReminderEditor.h"
#include "ui/editor/ReminderEditors.h"
#include "ui/journal/JournalWindow.h"
#include "ui/main/AlertNotifier.h"
#include "ui/main/AlertPresenter.h"
#include "ui/main/BusCommands.h"
#include "ui/main/CommandImages.h"
#include "ui/main/MainWindow.h"
#include "ui/main/SettingsPage.h"
#include "ui/main/TrayController.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <tuple>
#include <utility>

AppController::AppController(const Clock& clock, PlatformServices services,
                             std::unique_ptr<MinuteWake> wake, std::unique_ptr<ReminderStore> store,
                             QObject* parent)
    : QObject(parent), m_clock(clock), m_services(services),
      m_reminders(new Reminders(clock, std::move(store), this)),
      m_messageOrder(m_reminders->repository().table()),
      m_editors(std::make_unique<ReminderEditors>(*m_reminders, services.soundPlayer)),
      m_tray(new TrayController(clock, services.soundPlayer, this)),
      m_alerts(new AlertPresenter(*m_tray, clock, m_texts, services.soundPlayer,
                                  services.powerControl, this)),
      m_startTimer(new QTimer(this)), m_wake(std::move(wake)) {
    // Every window of the program that has no icon of its own shows the program's.
    QApplication::setWindowIcon(m_tray->images().plain());

    const DataPaths paths = locateDataPaths();
    if (!paths.error.empty())
        showErrorMessage(QString::fromStdString(paths.error));
    // Kept as the system's bytes: a folder name that is not UTF-8 would not survive a QString.
    m_reminderFilePath = paths.reminderFilePath;
    m_reminders->setFilePath(paths.reminderFilePath);
    connect(m_reminders, &Reminders::loaded, this, &AppController::remindersLoaded);
    connect(m_reminders, &Reminders::loadFailed, this, &AppController::remindersNotRead);
    connect(m_reminders, &Reminders::changed, this, &AppController::remindersChanged);
    connect(m_reminders, &Reminders::saveFailed, this, &AppController::saveFailed);

    // An alert window is kept in the reminder file from its opening until it is answered.
    m_pendingAlerts = std::make_unique<PendingAlerts>(*m_reminders, m_missedJournal);
    connect(m_alerts, &AlertPresenter::alertShown, this,
            [this](std::int32_t number, const ClockReading& due) {
                if (m_pendingAlerts->shown(number, due)) {
                    refillJournalWindow();
                    journalChanged();
                }
            });
    connect(m_alerts, &AlertPresenter::alertAnswered, this,
            [this](std::int32_t number) { m_pendingAlerts->answered(number); });

    // A native Wayland window cannot stay above the user's work: a desktop notification goes
    // with each alert window there.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        if (std::unique_ptr<DesktopNotifications> notifications = createDesktopNotifications()) {
            auto* notifier = new AlertNotifier(std::move(notifications), this);
            connect(m_alerts, &AlertPresenter::alertShown, notifier, [notifier](std::int32_t n) {
                if (AlertWindow* window = WindowList<AlertWindow>::find(n))
                    notifier->watch(window);
            });
        }

    // The moment before a sleep is the end of the run so far: a computer that never wakes
    // from it leaves the journal of the next start to begin there.
    m_sleepDelay = createSleepDelay();
    if (m_sleepDelay) {
        connect(m_sleepDelay.get(), &SleepDelay::aboutToSleep, this,
                [this] { writeSettings(m_clock.now(), Reporting::Window); });
        m_sleepDelay->start();
    }

    m_editors->setTexts(m_texts);
    m_editors->setIcons(commandIcon(CommandImage::BlankDocument),
                        commandIcon(CommandImage::LinedDocument));

    m_settings = new Settings(paths.settingsFilePath, m_clock, this);
    // Shown from the event loop: a write runs amid the engine's steps, which the box must not
    // hold up, and during the start.
    connect(m_settings, &Settings::writeFailed, this, &showErrorMessage, Qt::QueuedConnection);
    const ClockReading started = m_clock.now();
    m_settings->read(started.local);
    // From here on a run that is killed has ended no earlier than its start.
    writeSettings(started, Reporting::Window);
    const ProgramSettings& values = m_settings->values();
    m_tray->setShowDay(values.showDayInTray);
    useLanguageFile(SettingsPage::languageFileFor(values.language, values.languageFile));
    connect(m_tray, &TrayController::openListRequested, this, [this] { mainWindow()->showList(); });
    connect(m_tray, &TrayController::newReminderRequested, this,
            [this] { mainWindow()->newReminder(); });
    connect(m_tray, &TrayController::exitRequested, this, &AppController::exitAsked);
    connect(m_tray, &TrayController::trayAppeared, this, [this] {
        if (m_window)
            m_window->setTrayAvailable(true);
    });

    m_programStart = started.local;
    m_engine = new ReminderEngine(m_reminders->repository(), m_clock, started, this);
    connect(m_engine, &ReminderEngine::reminderDue, m_alerts, &AlertPresenter::present);
    connect(m_engine, &ReminderEngine::dayChanged, m_tray, &TrayController::followDay);
    connect(m_engine, &ReminderEngine::skipped, this, &AppController::addSkipped);
    connect(m_engine, &ReminderEngine::reminderDue, this, &AppController::noteShown);
    connect(m_engine, &ReminderEngine::skipped, this, &AppController::noteShown);
    connect(m_alerts, &AlertPresenter::editRequested, this, &AppController::editFromAlert);

    m_startTimer->setObjectName(QStringLiteral("startTimer"));
    m_startTimer->setSingleShot(true);
    m_startTimer->setInterval(100);
    connect(m_startTimer, &QTimer::timeout, this, &AppController::loadReminders);
    connect(m_wake.get(), &MinuteWake::woke, m_engine, &ReminderEngine::tick);

    // The one exit path: once the event loop has returned.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppController::shutdown,
            Qt::SingleShotConnection);

    if (!m_tray->trayAvailable())
        mainWindow()->showMinimized();
}

AppController::~AppController() {
    // Off the bus first: a call must not reach what is going.
    m_busObject.reset();
    // Editors refer to the reminders, which go with this controller.
    closeOtherWindows();
}

void AppController::start() {
    m_startTimer->start();
}

void AppController::loadReminders() {
    m_startTimer->stop();
    m_reminders->load();
}

void AppController::publishOnBus() {
    if (m_busCommands)
        return;
    m_busCommands = std::make_unique<BusCommands>(*this, m_services.soundPlayer);
    PublishedProgram published = publishProgram(*m_reminders, *m_busCommands, AboutBox::version());
    if (!published.status)
        writeToSystemLog(published.status.error);
    m_busObject = std::move(published.object);
}

void AppController::remindersNotRead(const QString& error) {
    publishOnBus();
    report(error);
    m_tray->setNewReminderEnabled(false);
}

void AppController::remindersLoaded(const QString& error) {
    publishOnBus();
    if (!error.isEmpty())
        report(error);
    const bool writable = m_reminders->fileWritable();
    m_tray->setNewReminderEnabled(writable);
    if (!writable) {
        // Nothing typed in this run could be saved: the commands that change
        // reminders stay off, and the status bar tells why.
        m_readOnlyReason = error;
        if (m_window)
            m_window->showReadOnly(m_readOnlyReason);
        return;
    }
    if (m_window)
        m_window->remindersLoaded();
    if (m_settings->values().showMissedAtStart) {
        const ClockReading now = m_clock.now();
        const TimeZoneSpan zone(m_clock, now.utc - std::chrono::days(400),
                                now.utc + std::chrono::days(1));
        m_missedJournal.build(m_reminders->repository().table(), m_settings->values().lastRunTime,
                              m_programStart, now.local, zone);
    }
    // The alerts the last run left unanswered are listed whatever "Show Missed after start"
    // says.
    m_pendingAlerts->carryOver(m_clock);
    journalChanged();
    if (m_missedJournal.count() > 0)
        showJournal();
    m_wake->start();
    // The first scan at once: the start minute's reminders and after-start ones of 0 minutes
    // fall due now, not at the next wake.
    m_engine->tick();
    // Sorting waits until the tray icon is up and the first scan has run.
    QTimer::singleShot(0, this, [this] { m_messageOrder.update(); });
}

void AppController::report(const QString& text) {
    report(text, m_ending ? Reporting::SystemLog : Reporting::Window);
}

void AppController::saveFailed(const QString& text) {
    // While "Exit" tries the save again, its question tells the failure.
    if (m_exitAsked && !m_ending)
        return;
    report(text);
}

void AppController::report(const QString& text, Reporting reporting) {
    if (reporting == Reporting::SystemLog)
        writeToSystemLog(text.toStdString());
    else
        showErrorMessage(text);
}

void AppController::closeOtherWindows() {
    // Editors first, then alert windows, then the journal: destroyed directly, without their
    // close handlers. Each kind's list is taken before any of them goes; a window that goes
    // with another one meanwhile is skipped.
    const auto destroyAll = [](const auto& windows) {
        QList<QPointer<QWidget>> victims(windows.begin(), windows.end());
        for (const QPointer<QWidget>& w : victims)
            delete w.data();
    };
    destroyAll(WindowList<ReminderEditor>::all());
    destroyAll(WindowList<AlertWindow>::all());
    destroyAll(WindowList<JournalWindow>::all());
}

void AppController::exit() {
    // exit(), not quit(): quit() first asks every window to close, and the main
    // window refuses (it only hides).
    QCoreApplication::exit(0);
}

void AppController::exitAsked() {
    if (m_exitAsked)
        return;
    m_exitAsked = true;
    // Its result goes to the question (see saveFailed).
    m_reminders->save();
    // A worker stuck past its limit can save nothing more: the exit goes on as at SIGTERM.
    const bool keepRunning = m_reminders->waitForFile() && m_reminders->hasUnsavedChanges() &&
                             m_reminders->fileWritable() && !askToLoseChanges();
    m_exitAsked = false;
    if (!keepRunning)
        exit();
}

bool AppController::askToLoseChanges() {
    // The question tells the failure: the minute's retries after "No" stay silent, as after
    // the error window (the reminders count it as told).
    QString question = QString::fromStdString(m_texts.changesNotSaved) + u' ' +
                       pathText(m_reminderFilePath) + u':' + u'\n';
    if (const QString& failure = m_reminders->lastSaveFailure(); !failure.isEmpty())
        question += failure + u'\n';
    question += QString::fromStdString(m_texts.exitAndLoseChanges);
    return askYesNo(question, m_texts);
}

void AppController::shutdown() {
    closeOtherWindows();
    // The main window ends too, handing its placement on for the write below.
    m_window.reset();
    m_ending = true;
    m_reminders->flush();
    m_engine->clearDueQueue();
    writeSettings(m_clock.now(), Reporting::SystemLog);
}

void AppController::saveEverything() {
    m_ending = true;
    m_reminders->flush();
    m_ending = false;
    writeSettings(m_clock.now(), Reporting::SystemLog);
}

void AppController::editFromAlert(std::int32_t number) {
    if (!m_editors->openEditorFor(number))
        return; // deleted meanwhile: the alert stays
    if (AlertWindow* alert = WindowList<AlertWindow>::find(number))
        alert->close();
}

void AppController::showJournal() {
    if (JournalWindow* open = WindowList<JournalWindow>::first()) {
        open->bringBack();
        return;
    }
    auto* journal = new JournalWindow(m_settings->journalPlacement());
    // Kept for the next journal window, and written with the next settings.
    connect(journal, &JournalWindow::left, m_settings, &Settings::setJournalPlacement);
    connect(journal, &JournalWindow::editRequested, this,
            [this](std::int32_t number) { m_editors->openEditorFor(number); });
    connect(journal, &JournalWindow::entryDismissed, this,
            [this](std::int32_t number, Moment occurrence) {
                if (m_pendingAlerts->dismissed(number, occurrence))
                    journalChanged();
            });
    journal->setCaption(m_missedJournal.from(), m_missedJournal.to(), m_texts);
    journal->fill(m_missedJournal.entries());
    journal->bringBack();
}

void AppController::addSkipped(const std::vector<MissedOccurrence>& skipped, Moment from,
                               Moment to) {
    m_missedJournal.merge(skipped, from, to);
    refillJournalWindow();
    journalChanged();
    // Shown on waking whatever "Show Missed after start" says: that is about the start only.
    showJournal();
}

void AppController::refillJournalWindow() {
    if (JournalWindow* open = WindowList<JournalWindow>::first()) {
        open->setCaption(m_missedJournal.from(), m_missedJournal.to(), m_texts);
        open->fill(m_missedJournal.entries());
    }
}

void AppController::journalChanged() {
    if (m_window)
        m_window->setJournalEnabled(m_missedJournal.count() > 0);
}

void AppController::remindersChanged() {
    m_engine->remindersChanged();
    if (m_missedJournal.follow(m_reminders->repository().table())) {
        refillJournalWindow();
        journalChanged();
    }
}

MainWindow* AppController::mainWindow() {
    if (!m_window)
        buildMainWindow();
    return m_window.get();
}

void AppController::buildMainWindow() {
    m_window = std::make_unique<MainWindow>(*m_editors, m_messageOrder);
    m_window->setWindowIcon(m_tray->images().plain());
    m_window->setMenuBar(m_tray->createFallbackMenuBar(m_window.get()));
    m_window->setTrayAvailable(m_tray->trayAvailable());
    // The window hands its placement on from here: written with the next settings.
    connect(m_window.get(), &MainWindow::placed, m_settings, &Settings::setMainPlacement);
    // A size of 0 stands for none stored: the window keeps its designed size.
    m_window->applyPlacement(m_settings->values().position);
    if (m_mainTexts)
        m_window->loadTexts(*m_mainTexts);

    SettingsPage* page = m_window->settingsPage();
    page->setValues(m_settings->values());
    connect(page, &SettingsPage::languageChanged, this, [this, page](LanguageChoice language) {
        m_settings->setLanguage(language);
        useLanguageFile(page->selectedLanguageFile());
    });
    connect(page, &SettingsPage::languageFileChosen, this, [this](const QString& path) {
        m_settings->setLanguageFile(path);
        // With "Other" checked the chosen file is the language at once, for every window
        // opened from now on too.
        if (m_settings->values().language == LanguageChoice::Other)
            useLanguageFile(pathBytes(path));
    });
    page->setStartupShortcut(&m_services.startupShortcut);
    connect(page, &SettingsPage::showMissedAtStartChanged, m_settings,
            &Settings::setShowMissedAtStart);
    connect(page, &SettingsPage::showDayInTrayChanged, this, [this](bool on) {
        m_settings->setShowDayInTray(on);
        m_tray->setShowDay(on);
    });
    connect(m_engine, &ReminderEngine::scanned, m_window.get(),
            &MainWindow::refreshComputedColumns);
    connect(m_window.get(), &MainWindow::journalRequested, this, &AppController::showJournal);
    m_window->setJournalEnabled(m_missedJournal.count() > 0);

    if (!m_reminders->isLoaded())
        return;
    if (!m_reminders->fileWritable())
        m_window->showReadOnly(m_readOnlyReason);
    else
        m_window->remindersLoaded();
}

void AppController::useLanguageFile(const std::string& path) {
    const LanguageFile& file = LanguageFile::cached(path);
    // The windows opened from now on take their sections of this file.
    m_editors->setLines(file.section<EditorLine>().value_or(LanguageSection<EditorLine>()));
    m_alerts->loadTexts(file.section<AlertLine>().value_or(LanguageSection<AlertLine>()));
    InfoDialog::useTexts(file.section<InfoLine>().value_or(LanguageSection<InfoLine>()));
    std::optional<LanguageSection<MainLine>> main = file.section<MainLine>();
    if (!main)
        return;
    m_texts.loadMain(*main);
    m_qtTranslation.use(m_settings->values().language == LanguageChoice::Russian
                            ? QStringLiteral("ru")
                            : QString());
    m_editors->setTexts(m_texts);
    m_tray->loadTexts(*main);
    if (m_window)
        m_window->loadTexts(*main);
    // Kept for the main window, which is built when first needed.
    m_mainTexts = std::move(main);
}

void AppController::writeSettings(const ClockReading& lastTime, Reporting reporting) {
    // The settings tell of a failure themselves, as asked.
    std::ignore =
        m_settings->write(lastTime, reporting == Reporting::Window ? Settings::Report::OncePerRun
                                                                   : Settings::Report::SystemLog);
}

void AppController::noteShown() {
    // A scan hands its reminders out one by one: its moment is written once.
    const std::optional<ClockReading>& scan = m_engine->lastScan();
    if (scan && m_settings->lastTimeWritten() != scan->utc)
        writeSettings(*scan, Reporting::Window);
}
