#include "ui/main/AppController.h"

#include "core/AppPaths.h"
#include "desktop/PathText.h"
#include "engine/ReminderEngine.h"
#include "engine/SerialWorker.h"
#include "i18n/LanguageFile.h"
#include "platform/SystemLog.h"
#include "ui/alert/AlertWindow.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/editor/ReminderEditor.h"
#include "ui/journal/JournalWindow.h"
#include "ui/main/AlertPresenter.h"
#include "ui/main/CommandImages.h"
#include "ui/main/MainWindow.h"
#include "ui/main/SettingsPage.h"
#include "ui/main/TrayController.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <utility>

AppController::AppController(const Clock& clock, PlatformServices services,
                             std::unique_ptr<MinuteWake> wake, std::unique_ptr<ReminderStore> store,
                             QObject* parent)
    : QObject(parent), m_clock(clock), m_services(services), m_repository(std::move(store)),
      m_fileWorker(std::make_unique<SerialWorker>()), m_messageOrder(m_repository.table()),
      m_editorContext(std::make_unique<EditorContext>(m_repository, services.soundPlayer)),
      m_tray(new TrayController(clock, services.soundPlayer, this)),
      m_alerts(new AlertPresenter(*m_tray, clock, m_texts, services.soundPlayer,
                                  services.powerControl, this)),
      m_startTimer(new QTimer(this)), m_saveRetryTimer(new QTimer(this)),
      m_loadRetryTimer(new QTimer(this)), m_wake(std::move(wake)) {
    // Every window of the program that has no icon of its own shows the program's.
    QApplication::setWindowIcon(m_tray->images().plain());

    const DataPaths paths = locateDataPaths();
    if (!paths.error.empty())
        showErrorMessage(QString::fromStdString(paths.error));
    // Kept as the system's bytes: a folder name that is not UTF-8 would not survive a QString.
    m_settingsPath = paths.settingsFilePath;
    m_reminderFilePath = paths.reminderFilePath;

    m_editorContext->clock = &m_clock;
    m_editorContext->texts = m_texts;
    m_editorContext->saveTable = [this] { return saveReminderFile(); };
    m_editorContext->tableChanged = [this] { remindersChanged(); };
    m_editorContext->newIcon = commandIcon(CommandImage::BlankDocument);
    m_editorContext->editIcon = commandIcon(CommandImage::LinedDocument);

    const ClockReading started = m_clock.now();
    m_settings = ReadSettings(m_settingsPath, m_clock, started.local, 0, 0);
    // From here on a run that is killed has ended no earlier than its start.
    writeSettings(started, Reporting::Window);
    m_tray->setShowDay(m_settings.ShowDayInTray);
    useLanguageFile(SettingsPage::languageFileFor(m_settings.language, m_settings.languageFile));
    connect(m_tray, &TrayController::openListRequested, this, [this] { mainWindow()->showList(); });
    connect(m_tray, &TrayController::newReminderRequested, this,
            [this] { mainWindow()->newReminder(); });
    connect(m_tray, &TrayController::exitRequested, this, &AppController::exitAsked);
    connect(m_tray, &TrayController::trayAppeared, this, [this] {
        if (m_window)
            m_window->setTrayAvailable(true);
    });

    m_programStart = started.local;
    m_engine = new ReminderEngine(m_repository, m_clock, started, this);
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
    // A save that failed (a full disk, a folder made read-only) is tried again each minute,
    // so that the changes reach the file once the cause is gone.
    m_saveRetryTimer->setObjectName(QStringLiteral("saveRetryTimer"));
    m_saveRetryTimer->setInterval(60'000);
    connect(m_saveRetryTimer, &QTimer::timeout, this, [this] { saveReminderFile(); });
    // A file locked by another program, or on a drive not there yet, is read again.
    m_loadRetryTimer->setObjectName(QStringLiteral("loadRetryTimer"));
    m_loadRetryTimer->setSingleShot(true);
    m_loadRetryTimer->setInterval(60'000);
    connect(m_loadRetryTimer, &QTimer::timeout, this, &AppController::loadReminders);

    // The one exit path: once the event loop has returned.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppController::shutdown,
            Qt::SingleShotConnection);

    if (!m_tray->trayAvailable())
        mainWindow()->showMinimized();
}

AppController::~AppController() {
    // Editors refer to the reminders, which go with this controller.
    closeOtherWindows();
}

void AppController::start() {
    m_startTimer->start();
}

void AppController::loadReminders() {
    m_startTimer->stop();
    m_loadRetryTimer->stop();
    if (m_loading || m_repository.isLoaded())
        return;
    m_loading = true;
    const std::string path = m_reminderFilePath;
    m_fileWorker->run(
        this, [this, path] { return m_repository.readFile(path); },
        [this, path](ReminderFileRead read) {
            m_loading = false;
            remindersRead(m_repository.takeRead(path, std::move(read)));
        });
}

bool AppController::waitForReminderFile() {
    // Again while a callback gave the worker more (a file gone is made anew at once).
    do {
        if (!m_fileWorker->finish(SqliteReminderStore::BusyTimeout +
                                  SqliteReminderStore::TimeLimit)) {
            writeToSystemLog("Unable to write " + m_reminderFilePath + ": it took too long");
            return false;
        }
    } while (m_fileWorker->busy());
    return true;
}

void AppController::remindersRead(const Status& loaded) {
    if (!m_repository.isLoaded()) {
        if (!m_loadFailureShown)
            report(QString::fromStdString(loaded.message()),
                   m_ending ? Reporting::SystemLog : Reporting::Window);
        m_loadFailureShown = true;
        m_tray->setNewReminderEnabled(false);
        m_loadRetryTimer->start();
        return;
    }
    const bool writable = m_repository.fileWritable();
    if (!loaded && writable) {
        // A new file that could not be created is tried again like a failed save.
        m_reminderSaveFailureShown = true;
        m_saveRetryTimer->start();
    }
    if (!loaded)
        report(QString::fromStdString(loaded.message()),
               m_ending ? Reporting::SystemLog : Reporting::Window);
    m_tray->setNewReminderEnabled(writable);
    if (!writable) {
        // Nothing typed in this run could be saved: the commands that change
        // reminders stay off, and the status bar tells why.
        m_readOnlyReason = QString::fromStdString(loaded.message());
        if (m_window)
            m_window->showReadOnly(m_readOnlyReason);
        return;
    }
    if (m_window)
        m_window->remindersLoaded();
    if (m_settings.ShowMissedAtStart) {
        const ClockReading now = m_clock.now();
        const TimeZoneSpan zone(m_clock, now.utc - std::chrono::days(400),
                                now.utc + std::chrono::days(1));
        m_missedJournal.build(m_repository.table(), m_settings.LastRunTime, m_programStart,
                              now.local, zone);
        journalChanged();
        if (m_missedJournal.count() > 0)
            showJournal();
    }
    m_wake->start();
    // The first scan at once: the start minute's reminders and after-start ones of 0 minutes
    // fall due now, not at the next wake.
    m_engine->tick();
    // Sorting waits until the tray icon is up and the first scan has run.
    QTimer::singleShot(0, this, [this] { m_messageOrder.update(); });
}

bool AppController::saveReminderFile() {
    return saveReminderFile(Reporting::Window);
}

bool AppController::saveReminderFile(Reporting reporting) {
    if (!m_repository.isLoaded() || !m_repository.fileWritable())
        return false;
    PendingSave pending = m_repository.takeUnsaved();
    // At the end of a run the file is looked at even with nothing changed: one removed
    // meanwhile, folder and all, is made anew from the table.
    if (pending.empty() && !m_ending)
        return true;
    // The worker gets copies of the rows; a failed save leaves the file as it was and the
    // changes to be written by the next one.
    auto save = std::make_shared<PendingSave>(std::move(pending));
    const std::string path = m_reminderFilePath;
    m_fileWorker->run(
        this, [this, path, save] { return m_repository.writeFile(path, *save); },
        [this, path, save, reporting](const Status& written) {
            m_saveFailure = written ? QString() : QString::fromStdString(written.message());
            const Status saved = m_repository.takeWritten(path, std::move(*save), written);
            if (m_repository.fileToBeMadeAnew())
                saveReminderFile(reporting);
            else
                reminderFileWritten(saved, reporting);
        });
    return true;
}

void AppController::reminderFileWritten(const Status& saved, Reporting reporting) {
    if (m_ending)
        reporting = Reporting::SystemLog;
    else if (m_exitAsked)
        reporting = Reporting::ExitQuestion;
    if (saved) {
        // Changes of a save that failed before wait for the next try.
        if (!m_repository.hasUnsavedChanges())
            m_saveRetryTimer->stop();
        m_reminderSaveFailureShown = false;
        return;
    }
    if (!m_saveRetryTimer->isActive())
        m_saveRetryTimer->start();
    if (reporting == Reporting::ExitQuestion)
        return;
    // Marked before the window opens: the retries while it is open stay silent.
    const bool tell = reporting == Reporting::SystemLog || !m_reminderSaveFailureShown;
    if (reporting == Reporting::Window)
        m_reminderSaveFailureShown = true;
    if (tell)
        report(QString::fromStdString(saved.message()), reporting);
}

void AppController::report(const QString& text, Reporting reporting) {
    if (reporting == Reporting::SystemLog)
        writeToSystemLog(text.toStdString());
    else
        showErrorMessage(text);
}

void AppController::closeOtherWindows() {
    // Editors first, then alert windows: top-level windows of their own, destroyed
    // directly without their close handlers. The victims are picked before any is
    // destroyed: an editor takes its own pop-ups and dialogs, which are top-level
    // widgets too, with it.
    const auto destroyAll = [](auto isKind) {
        QList<QPointer<QWidget>> victims;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (isKind(w))
                victims << w;
        for (const QPointer<QWidget>& w : victims)
            delete w.data();
    };
    destroyAll([](QWidget* w) { return qobject_cast<ReminderEditor*>(w) != nullptr; });
    destroyAll([](QWidget* w) { return qobject_cast<AlertWindow*>(w) != nullptr; });
    destroyAll([](QWidget* w) { return qobject_cast<JournalWindow*>(w) != nullptr; });
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
    // Its result goes to the question (see reminderFileWritten).
    saveReminderFile();
    // A worker stuck past its limit can save nothing more: the exit goes on as at SIGTERM.
    const bool keepRunning = waitForReminderFile() && m_repository.hasUnsavedChanges() &&
                             m_repository.fileWritable() && !askToLoseChanges();
    m_exitAsked = false;
    if (!keepRunning)
        exit();
}

bool AppController::askToLoseChanges() {
    // The question tells the failure: the minute's retries after "No" stay silent, as after
    // the error window.
    m_reminderSaveFailureShown = true;
    QString question = QString::fromStdString(m_texts.changesNotSaved) + u' ' +
                       pathText(m_reminderFilePath) + u':' + u'\n';
    if (!m_saveFailure.isEmpty())
        question += m_saveFailure + u'\n';
    question += QString::fromStdString(m_texts.exitAndLoseChanges);
    return askYesNo(question, m_texts);
}

void AppController::shutdown() {
    closeOtherWindows();
    m_ending = true;
    saveReminderFile(Reporting::SystemLog);
    waitForReminderFile();
    m_engine->clearDueQueue();
    writeSettings(m_clock.now(), Reporting::SystemLog);
}

void AppController::saveEverything() {
    m_ending = true;
    saveReminderFile(Reporting::SystemLog);
    waitForReminderFile();
    m_ending = false;
    writeSettings(m_clock.now(), Reporting::SystemLog);
}

void AppController::editFromAlert(std::int32_t number) {
    if (!m_repository.reminder(number))
        return; // deleted meanwhile: the alert stays
    openEditorFor(number, *m_editorContext);
    if (AlertWindow* alert = AlertWindow::find(number))
        alert->close();
}

void AppController::showJournal() {
    if (JournalWindow* open = JournalWindow::find()) {
        open->bringBack();
        return;
    }
    auto* journal = new JournalWindow(m_settings.journal.value_or(WindowPlacement{}));
    // Kept for the next journal window, and written with the next settings.
    connect(journal, &JournalWindow::left, this,
            [this](const WindowPlacement& placement) { m_settings.journal = placement; });
    connect(journal, &JournalWindow::editRequested, this,
            [this](std::int32_t number) { openEditorFor(number, *m_editorContext); });
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
    if (JournalWindow* open = JournalWindow::find()) {
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
    if (m_missedJournal.follow(m_repository.table())) {
        refillJournalWindow();
        journalChanged();
    }
    if (m_window)
        m_window->reloadReminders();
}

MainWindow* AppController::mainWindow() {
    if (!m_window)
        buildMainWindow();
    return m_window.get();
}

void AppController::buildMainWindow() {
    m_window = std::make_unique<MainWindow>(*m_editorContext, m_messageOrder);
    m_window->setWindowIcon(m_tray->images().plain());
    m_window->setMenuBar(m_tray->createFallbackMenuBar(m_window.get()));
    m_window->setTrayAvailable(m_tray->trayAvailable());
    // A size of 0 stands for none stored: the window keeps its designed size.
    m_window->applyPlacement(m_settings.position);
    if (m_mainTexts)
        m_window->loadTexts(*m_mainTexts);

    SettingsPage* page = m_window->settingsPage();
    page->setValues(m_settings);
    connect(page, &SettingsPage::languageChanged, this, [this, page](LanguageChoice language) {
        m_settings.language = language;
        useLanguageFile(page->selectedLanguageFile());
    });
    connect(page, &SettingsPage::languageFileChosen, this, [this](const QString& path) {
        m_settings.languageFile = path;
        // With "Other" checked the chosen file is the language at once, for every window
        // opened from now on too.
        if (m_settings.language == LanguageChoice::Other)
            useLanguageFile(pathBytes(path));
    });
    page->setStartupShortcut(&m_services.startupShortcut);
    connect(page, &SettingsPage::showMissedAtStartChanged, this,
            [this](bool on) { m_settings.ShowMissedAtStart = on; });
    connect(page, &SettingsPage::showDayInTrayChanged, this, [this](bool on) {
        m_settings.ShowDayInTray = on;
        m_tray->setShowDay(on);
    });
    connect(m_engine, &ReminderEngine::scanned, m_window.get(),
            &MainWindow::refreshComputedColumns);
    connect(m_window.get(), &MainWindow::journalRequested, this, &AppController::showJournal);
    m_window->setJournalEnabled(m_missedJournal.count() > 0);

    if (!m_repository.isLoaded())
        return;
    if (!m_repository.fileWritable())
        m_window->showReadOnly(m_readOnlyReason);
    else
        m_window->remindersLoaded();
}

void AppController::useLanguageFile(const std::string& path) {
    LanguageFile::setCurrent(path);
    std::optional<LanguageSection> main = LanguageFile::cached(path).section("Main");
    if (!main)
        return;
    m_texts.loadMain(*main);
    m_qtTranslation.use(m_settings.language == LanguageChoice::Russian ? QStringLiteral("ru")
                                                                       : QString());
    m_editorContext->texts = m_texts;
    m_tray->loadTexts(*main);
    if (m_window)
        m_window->loadTexts(*main);
    // Kept for the main window, which is built when first needed.
    m_mainTexts = std::move(main);
}

void AppController::writeSettings(const ClockReading& lastTime, Reporting reporting) {
    // A window never built leaves the placement read at start as it was.
    if (m_window)
        m_settings.position = m_window->placement();
    m_lastTimeWritten = lastTime.utc;
    const Status written = WriteSettings(m_settingsPath, m_settings, lastTime);
    if (written)
        return;
    if (reporting == Reporting::SystemLog) {
        report(QString::fromStdString(written.message()), reporting);
        return;
    }
    if (std::exchange(m_settingsFailureShown, true))
        return;
    // Shown from the event loop: the write runs amid the engine's steps, which the box must
    // not hold up, and during the start.
    QMetaObject::invokeMethod(
        this,
        [text = QString::fromStdString(written.error + '\n' + written.reason)] {
            showErrorMessage(text);
        },
        Qt::QueuedConnection);
}

void AppController::noteShown() {
    // A scan hands its reminders out one by one: its moment is written once.
    const std::optional<ClockReading>& scan = m_engine->lastScan();
    if (scan && m_lastTimeWritten != scan->utc)
        writeSettings(*scan, Reporting::Window);
}
