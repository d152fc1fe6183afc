#include "app/Reminders.h"
#include "core/AppPaths.h"
#include "desktop/RegionalDateTime.h"
#include "engine/AsyncTask.h"
#include "engine/ReminderEngine.h"
#include "i18n/Texts.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeMinuteWake.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/LayoutCheck.h"
#include "tests/support/ReadAll.h"
#include "tests/support/Screenshot.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/TempHome.h"
#include "tests/support/WhenModalShown.h"
#include "ui/alert/AlertWindow.h"
#include "ui/controls/ColorScheme.h"
#include "ui/dialogs/DialogSeams.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/editor/ReminderEditor.h"
#include "ui/journal/JournalWindow.h"
#include "ui/journal/MissedEntry.h"
#include "ui/main/AlertPresenter.h"
#include "ui/main/AppController.h"
#include "ui/main/ExitSignals.h"
#include "ui/main/MainWindow.h"
#include "ui/main/ReminderListView.h"
#include "ui/main/TrayController.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <sqlite3.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct MainWindowTest : ::testing::Test {
    Moment now = makeMoment(2026, 12, 9, 10, 0, 0);
    FakeClock clock{now};
    FakePlatform platform;
    FakeSoundPlayer& player = platform.player;
    FakePowerControl& power = platform.power;
    std::vector<std::string> messages;
    std::string programFolder = MakeTempFolder("program");
    std::string dataFolder = std::string(std::getenv("XDG_DATA_HOME")) + "/Chimewell";

    void SetUp() override {
        fs::remove_all(dataFolder);
        setErrorMessageRecorderForTests(
            [this](const QString& m) { messages.push_back(m.toStdString()); });
        fs::create_directories(programFolder + "/sounds");
        std::ofstream(programFolder + "/sounds/click.wav") << "RIFF";
        setExecutablePathForTests(programFolder + "/Chimly");
    }
    void TearDown() override {
        setErrorMessageRecorderForTests(nullptr);
        setExecutablePathForTests("");
    }
    std::unique_ptr<AppController> Started(std::unique_ptr<MinuteWake> wake = createMinuteWake()) {
        auto app = std::make_unique<AppController>(clock, platform.services(), std::move(wake));
        app->loadReminders();
        app->reminders().waitForFile();
        return app;
    }
    static QAction* Action(AppController& app, const char* name) {
        auto* action = app.mainWindow()->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    static bool MinuteTickRuns(const AppController& app) { return app.minuteWake().isActive(); }
    // Ends the program as its entry does: the event loop runs until the exit, then
    // the controller and its windows are destroyed.
    static void RunUntilExit(std::unique_ptr<AppController>& app) {
        EXPECT_EQ(QApplication::exec(), 0);
        app.reset();
    }
    static void ExitThroughTheLoop(std::unique_ptr<AppController>& app) {
        QTimer::singleShot(0, app.get(), [&app] { app->exit(); });
        RunUntilExit(app);
    }
    static void WaitForWorkers() {
        EXPECT_TRUE(QTest::qWaitFor([] { return AsyncTask::pendingCount() == 0; }, 20000))
            << "the workers did not finish";
        QCoreApplication::processEvents();
    }
};

int SettingsInteger(const std::string& ini, const std::string& key) {
    std::ifstream in(ini);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + "=", 0) == 0)
            return std::stoi(line.substr(key.size() + 1));
    return -1;
}

// Delivers one timeout of a running timer now, as its interval would.
void Tick(QTimer* timer) {
    ASSERT_TRUE(timer->isActive());
    QTimerEvent event(timer->timerId());
    QCoreApplication::sendEvent(timer, &event);
}

// A retry of the reminder file, and what its worker made of it.
void Retry(AppController& app, QTimer* timer) {
    Tick(timer);
    app.reminders().waitForFile();
}

// The editor opened last that is not closing, or none.
ReminderEditor* OpenedEditor() {
    ReminderEditor* editor = nullptr;
    for (ReminderEditor* e : WindowList<ReminderEditor>::all())
        if (!e->isClosing())
            editor = e;
    return editor;
}

// Points XDG_DATA_HOME elsewhere while it lives.
class DataHomeScope final {
public:
    explicit DataHomeScope(const std::string& folder) : m_old(std::getenv("XDG_DATA_HOME")) {
        ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }
    ~DataHomeScope() { ::setenv("XDG_DATA_HOME", m_old.c_str(), 1); }
    DataHomeScope(const DataHomeScope&) = delete;
    DataHomeScope& operator=(const DataHomeScope&) = delete;

private:
    std::string m_old;
};

int RowCount(const std::string& file) {
    sqlite3* db = nullptr;
    int rows = -1;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        sqlite3_exec(
            db, "SELECT count(*) FROM things",
            [](void* out, int, char** values, char**) {
                *static_cast<int*>(out) = std::atoi(values[0]);
                return 0;
            },
            &rows, nullptr);
    sqlite3_close(db);
    return rows;
}

QCheckBox* SettingsCheck(AppController& app, const char* name) {
    return app.mainWindow()->findChild<QCheckBox*>(QString::fromLatin1(name));
}

} // namespace

TEST_F(MainWindowTest, StartCreatesTheTableFileAndStartsTheMinuteTick) {
    auto app = Started();
    EXPECT_TRUE(fs::exists(dataFolder + "/things.mln"));
    EXPECT_TRUE(MinuteTickRuns(*app));
    EXPECT_EQ(app->settings().path(), dataFolder + "/Chimly.ini");
    EXPECT_TRUE(messages.empty());
}

// Qt 6 cannot hold such a byte in a file name: the paths must stay bytes to the file.
TEST_F(MainWindowTest, FolderNamesThatAreNotUtf8KeepTheFilesTheTextsAndTheClick) {
    const std::string program = MakeTempFolder("program\xff");
    fs::create_directories(program + "/sounds");
    std::ofstream(program + "/sounds/click.wav") << "RIFF";
    fs::copy_file(CHIMEWELL_RESOURCES_DIR "/Chimly_ru.lng", program + "/Chimly_ru.lng");
    setExecutablePathForTests(program + "/Chimly");
    const std::string dataHome = MakeTempFolder("data\xfe\xc3");
    const DataHomeScope scope(dataHome);
    const std::string data = dataHome + "/Chimewell";
    fs::create_directories(data);
    std::ofstream(data + "/Chimly.ini") << "[Settings]\nLangPack=1\n";

    auto app = Started();
    EXPECT_EQ(app->settings().path(), data + "/Chimly.ini");
    EXPECT_EQ(Action(*app, "actionNew")->text(), "Создать...");
    Reminder tea;
    tea.isNew = true;
    tea.message = "tea";
    tea.moment = makeMoment(2026, 12, 9, 11, 0);
    ASSERT_TRUE(app->reminders().add(tea).ok());
    app->reminders().waitForFile();
    EXPECT_EQ(RowCount(data + "/things.mln"), 1);

    Reminder due;
    due.number = 3;
    due.click = true;
    emit app->engine()->reminderDue(due);
    WaitForWorkers();
    EXPECT_EQ(player.paths, std::vector<std::string>{program + "/sounds/click.wav"});

    ExitThroughTheLoop(app);
    EXPECT_EQ(SettingsInteger(data + "/Chimly.ini", "LangPack"), 1);
    EXPECT_NE(ReadAll(data + "/Chimly.ini").find("LastTime="), std::string::npos);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(MainWindowTest, UnreadableTableIsReportedNoTickStartsAndItIsNeverOverwritten) {
    fs::create_directories(dataFolder);
    std::ofstream(dataFolder + "/things.mln") << "this is not a table";
    auto app = Started();
    EXPECT_FALSE(MinuteTickRuns(*app));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(dataFolder + "/things.mln"), std::string::npos);
    // Nothing can be typed that would be lost: the commands that change reminders
    // are off, in the window and in the tray menu, and the status bar says why.
    std::vector<QAction*> commands;
    for (const char* name :
         {"actionNew", "actionNewReminder", "actionEdit", "actionCopy", "actionDelete"})
        commands.push_back(Action(*app, name));
    commands.push_back(app->tray()->findChild<QAction*>("trayNewReminderAction"));
    for (QAction* a : commands) {
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
        a->trigger();
    }
    EXPECT_THAT(WindowList<ReminderEditor>::all(), ::testing::IsEmpty());
    const QString status = app->mainWindow()->statusBar()->currentMessage();
    EXPECT_TRUE(status.contains(QString::fromStdString(dataFolder + "/things.mln")))
        << status.toStdString();
    EXPECT_TRUE(status.contains("cannot be changed")) << status.toStdString();
    EXPECT_FALSE(app->reminders().save());
    ExitThroughTheLoop(app); // the exit saves too
    std::ifstream in(dataFolder + "/things.mln");
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "this is not a table");
}

TEST_F(MainWindowTest, EveryWindowShowsTheProgramIcon) {
    auto app = Started();
    ASSERT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_FALSE(app->mainWindow()->windowIcon().isNull());
    app->alertPresenter()->showAlertWindow("tea", 1);
    AlertWindow* alert = WindowList<AlertWindow>::find(1);
    ASSERT_NE(alert, nullptr);
    EXPECT_FALSE(alert->windowIcon().isNull());
    delete alert;
}

TEST_F(MainWindowTest, ATableFileThatCannotBeCreatedIsReportedButRemindersStillFire) {
    // A folder stands where the new file would be written.
    const std::string obstacle = dataFolder + "/things.mln.new-" + std::to_string(::getpid());
    fs::create_directories(obstacle + "/x");
    auto app = Started();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Unable to write"), std::string::npos) << messages[0];
    EXPECT_TRUE(MinuteTickRuns(*app));
    // Tried again each minute, silently, until the file can be created.
    QTimer* retry = app->findChild<QTimer*>(QStringLiteral("saveRetryTimer"));
    Retry(*app, retry);
    EXPECT_FALSE(fs::exists(dataFolder + "/things.mln"));
    fs::remove_all(obstacle);
    Retry(*app, retry);
    EXPECT_TRUE(fs::exists(dataFolder + "/things.mln"));
    EXPECT_FALSE(retry->isActive());
    EXPECT_EQ(messages.size(), 1u);
}

namespace {

// The reminder file's store, whose saves stop before their commit (as on a full disk) while
// `failing` holds. Its saves run on the file's worker.
struct FailingSaves {
    std::atomic<bool> failing = false;
    std::atomic<int> attempts = 0;
    std::unique_ptr<ReminderStore> store() {
        auto s = std::make_unique<SqliteReminderStore>();
        s->setStepHookForTests([this](SqliteReminderStore::SaveStep step, const std::string&) {
            if (step != SqliteReminderStore::SaveStep::Commit)
                return true;
            ++attempts;
            return !failing;
        });
        return s;
    }
};

} // namespace

TEST_F(MainWindowTest, AFailedSaveIsShownOnceTriedEachMinuteAndRemindersStillFire) {
    FailingSaves saves;
    auto wakeOwned = std::make_unique<FakeMinuteWake>();
    FakeMinuteWake* wake = wakeOwned.get();
    auto app = std::make_unique<AppController>(clock, platform.services(), std::move(wakeOwned),
                                               saves.store());
    app->loadReminders();
    app->reminders().waitForFile();
    const std::string file = dataFolder + "/things.mln";
    const std::string before = ReadAll(file);
    QTimer* retry = app->findChild<QTimer*>(QStringLiteral("saveRetryTimer"));
    wake->wake(); // the first scan, at 10:00

    // A reminder for 10:01 made in the editor, while the file cannot be written.
    saves.failing = true;
    clock.set(now + std::chrono::minutes(1));
    Action(*app, "actionNewReminder")->trigger();
    ReminderEditor* editor = OpenedEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor->findChild<QWidget*>("messageEdit"), "tea");
    QTest::mouseClick(editor->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    app->reminders().waitForFile();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Unable to write " + file), std::string::npos) << messages[0];
    EXPECT_EQ(ReadAll(file), before);
    ASSERT_EQ(app->reminders().repository().table().count(), 1u);
    const std::int32_t tea = app->reminders().repository().table().rowAt(0).integer(Col::N);

    // The reminder in memory falls due all the same.
    wake->wake();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return WindowList<AlertWindow>::find(tea) != nullptr; }, 20000));
    delete WindowList<AlertWindow>::find(tea);
    // The alert is kept in the file as it opens: that write fails too.
    app->reminders().waitForFile();

    // Tried again each minute without another window, the old file untouched.
    const int attempts = saves.attempts;
    Retry(*app, retry);
    Retry(*app, retry);
    EXPECT_EQ(saves.attempts, attempts + 2);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(ReadAll(file), before);

    // Once the cause is gone the next try writes the reminder, and the retries stop.
    saves.failing = false;
    Retry(*app, retry);
    EXPECT_FALSE(retry->isActive());
    std::vector<ReminderRow> rows;
    ASSERT_TRUE(SqliteReminderStore().load(file, rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text(Col::Comment), "tea");

    // A later failure is shown again, once.
    saves.failing = true;
    for (int i = 0; i < 2; ++i) {
        Reminder again = *app->reminders().repository().reminder(tea);
        again.isNew = false;
        again.message = "tea " + std::to_string(i);
        ASSERT_TRUE(app->reminders().update(tea, again).ok());
        app->reminders().waitForFile();
    }
    EXPECT_EQ(messages.size(), 2u);
}

// A reminder file locked by another program at the start: the failure is shown once, the
// file is read again each minute, silently, and once read the run starts as at the start.
TEST_F(MainWindowTest, AFileLockedAtTheStartIsReadAgainEachMinute) {
    const std::string file = dataFolder + "/things.mln";
    {
        fs::create_directories(dataFolder);
        ReminderRepository data;
        ASSERT_TRUE(data.load(file).ok());
        Reminder tea;
        tea.isNew = true;
        tea.message = "tea";
        ASSERT_TRUE(data.saveReminder(tea, now).ok());
        ASSERT_TRUE(data.save(file).ok());
    }
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    auto app = Started();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Unable to read the reminder file " + file + ": database is locked"),
              std::string::npos)
        << messages[0];
    EXPECT_FALSE(MinuteTickRuns(*app));
    EXPECT_FALSE(app->reminders().repository().isLoaded());
    QTimer* retry = app->findChild<QTimer*>(QStringLiteral("loadRetryTimer"));
    ASSERT_NE(retry, nullptr);
    EXPECT_EQ(retry->interval(), 60'000);
    Retry(*app, retry);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_FALSE(app->reminders().repository().isLoaded());

    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    Retry(*app, retry);
    EXPECT_TRUE(app->reminders().repository().isLoaded());
    EXPECT_TRUE(app->reminders().repository().fileWritable());
    EXPECT_EQ(app->reminders().repository().table().count(), 1u);
    EXPECT_TRUE(MinuteTickRuns(*app));
    EXPECT_FALSE(retry->isActive());
    EXPECT_TRUE(app->tray()->findChild<QAction*>("trayNewReminderAction")->isEnabled());
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(MainWindowTest, FailedSavesAtTheExitGoToTheLogAndTheProgramEnds) {
    // The reminder file's save fails part-way; a folder comes to stand where the settings
    // file is.
    FailingSaves saves;
    const std::string ini = dataFolder + "/Chimly.ini";
    auto app = std::make_unique<AppController>(clock, platform.services(), createMinuteWake(),
                                               saves.store());
    app->loadReminders();
    app->reminders().waitForFile();
    fs::remove(ini);
    fs::create_directories(ini);
    const std::string file = dataFolder + "/things.mln";
    const std::string before = ReadAll(file);
    Reminder tea;
    tea.isNew = true;
    tea.message = "tea";
    // A change that cannot be written while running: shown as usual.
    saves.failing = true;
    ASSERT_TRUE(app->reminders().add(tea).ok());
    app->reminders().waitForFile();
    messages.clear();
    std::string log;
    {
        StderrCapture capture(MakeTempFolder("stderr") + "/stderr.txt");
        // The end of a session asks for the files first, then the signal ends the program.
        app->saveEverything();
        ExitSignals exitSignals([&app] { app->exit(); });
        QTimer::singleShot(0, [] { ::raise(SIGTERM); });
        // The signal never asks about the changes it cannot save.
        WhenModalShown asked([](QDialog* d) { d->reject(); });
        RunUntilExit(app);
        log = capture.text();
        EXPECT_FALSE(asked.ran()) << "the end of the session asked";
    }
    EXPECT_TRUE(messages.empty()) << "a window waited for someone: " << messages[0];
    for (const std::string& expected :
         {"Chimewell: Unable to write " + file + ": ", "Chimewell: Unable to write to " + ini})
        EXPECT_NE(log.find(expected), std::string::npos) << log;
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_TRUE(fs::is_directory(ini));
}

// The data folder removed while the program runs: the exit makes it again, with the table
// and the settings, though nothing changed since the last save.
TEST_F(MainWindowTest, TheDataFolderRemovedWhileRunningIsMadeAgainAtTheExit) {
    auto app = Started();
    Reminder tea;
    tea.isNew = true;
    tea.message = "tea";
    ASSERT_TRUE(app->reminders().add(tea).ok());
    ASSERT_TRUE(app->reminders().save());
    app->reminders().waitForFile();
    fs::remove_all(dataFolder);

    ExitThroughTheLoop(app);
    EXPECT_TRUE(messages.empty()) << messages[0];
    const std::string file = dataFolder + "/things.mln";
    ReminderRepository reread;
    ASSERT_TRUE(reread.load(file).ok());
    ASSERT_EQ(reread.table().count(), 1u);
    EXPECT_EQ(reread.table().rowAt(0).text(Col::Comment), "tea");
    EXPECT_NE(SettingsInteger(dataFolder + "/Chimly.ini", "LangPack"), -1);
    EXPECT_EQ(fs::status(dataFolder).permissions() & fs::perms::all, fs::perms::owner_all);
    for (const std::string& f : {file, dataFolder + "/Chimly.ini"})
        EXPECT_EQ(fs::status(f).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write)
            << f;
}

namespace {

// Whether the program still runs: an exit asked for (QCoreApplication::exit) makes every
// event loop started afterwards return at once.
bool StillRunning() {
    QEventLoop probe;
    QTimer::singleShot(0, &probe, [&probe] { probe.exit(7); });
    return probe.exec() == 7;
}

// What the exit's question showed, and whether the windows open before were still there.
struct QuestionSeen {
    QString text;
    QString yes;
    QString no;
    QString focused;
    bool owned = true;
    bool windowsOpen = false;
};

// A running controller whose saves fail, with a reminder made in this run that could not be
// saved: the error window was shown once and the minute's retry runs. An alert and an editor
// are open.
struct ExitWhileSavesFailTest : MainWindowTest {
    FailingSaves saves;
    std::unique_ptr<AppController> app;
    std::string file = dataFolder + "/things.mln";
    std::string before;
    std::int32_t tea = 0;
    QPointer<ReminderEditor> editor;

    void SetUp() override {
        MainWindowTest::SetUp();
        StartWithAnUnsavedChange();
    }
    void StartWithAnUnsavedChange() {
        app = std::make_unique<AppController>(clock, platform.services(), createMinuteWake(),
                                              saves.store());
        app->loadReminders();
        app->reminders().waitForFile();
        before = ReadAll(file);
        saves.failing = true;
        Reminder r;
        r.isNew = true;
        r.message = "tea";
        ASSERT_TRUE(app->reminders().add(r).ok());
        tea = app->reminders().repository().table().rowAt(0).integer(Col::N);
        ASSERT_TRUE(app->reminders().save());
        app->reminders().waitForFile();
        ASSERT_EQ(messages.size(), 1u);
        messages.clear();
        app->alertPresenter()->showAlertWindow("tea", tea);
        Action(*app, "actionNewReminder")->trigger();
        editor = OpenedEditor();
        ASSERT_NE(editor, nullptr);
    }
    void TearDown() override {
        app.reset();
        MainWindowTest::TearDown();
    }
    QAction* Exit() const { return app->tray()->findChild<QAction*>("trayExitAction"); }
    std::string Expected() const {
        return "The changes could not be saved to " + file +
               ":\nthe save was stopped before its commit\nExit and lose them?";
    }
    // Runs `steps` in the event loop, as the program runs; they end with an exit.
    void RunInTheLoop(const std::function<void()>& steps) {
        QTimer::singleShot(0, app.get(), steps);
        // Should the program not end, the test fails instead of hanging.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(60'000);
        RunUntilExit(app);
    }
    bool WindowsOpen() const { return WindowList<AlertWindow>::find(tea) != nullptr && editor; }
    // Chooses "Exit" in the tray menu and answers its question with `answer`.
    QuestionSeen ExitAnswering(const std::function<void(QDialog*)>& answer) {
        QuestionSeen seen;
        WhenModalShown when([&](QDialog* d) {
            seen.text = d->findChild<QLabel*>("questionLabel")->text();
            seen.yes = d->findChild<QPushButton*>("yesButton")->text();
            seen.no = d->findChild<QPushButton*>("noButton")->text();
            seen.focused =
                QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            seen.owned = d->parentWidget() != nullptr;
            seen.windowsOpen = WindowsOpen();
            answer(d);
        });
        Exit()->trigger();
        EXPECT_TRUE(when.ran()) << "no question";
        return seen;
    }
};

} // namespace

TEST_F(ExitWhileSavesFailTest, NoKeepsTheProgramRunningAndTheRetrySavesTheChangeLater) {
    const auto press = [](Qt::Key key) {
        return [key](QDialog*) { QTest::keyClick(QApplication::focusWidget(), key); };
    };
    const struct {
        const char* name;
        std::function<void(QDialog*)> answer;
    } noes[] = {
        {"click No",
         [](QDialog* d) {
             QTest::mouseClick(d->findChild<QPushButton*>("noButton"), Qt::LeftButton);
         }},
        {"Space on the default", press(Qt::Key_Space)},
        {"Enter on the default", press(Qt::Key_Return)},
    };
    QTimer* retry = app->findChild<QTimer*>(QStringLiteral("saveRetryTimer"));
    std::optional<WhenModalShown> asked;
    RunInTheLoop([&] {
        for (const auto& c : noes) {
            SCOPED_TRACE(c.name);
            const int attempts = saves.attempts;
            const QuestionSeen seen = ExitAnswering(c.answer);
            // The save was tried again before asking; the question has no owner and comes
            // before any window closes.
            EXPECT_EQ(saves.attempts, attempts + 1);
            EXPECT_EQ(seen.text.toStdString(), Expected());
            EXPECT_EQ(seen.yes, QStringLiteral("Yes"));
            EXPECT_EQ(seen.no, QStringLiteral("No"));
            EXPECT_EQ(seen.focused, QStringLiteral("noButton"));
            EXPECT_FALSE(seen.owned);
            EXPECT_TRUE(seen.windowsOpen);
            EXPECT_TRUE(StillRunning());
            EXPECT_TRUE(WindowsOpen());
        }
        // The failure went to the question only, not to another window.
        EXPECT_TRUE(messages.empty()) << messages[0];
        EXPECT_EQ(ReadAll(file), before);

        // The minute's retry goes on, silently, and writes the change once it can.
        Retry(*app, retry);
        EXPECT_TRUE(messages.empty());
        saves.failing = false;
        Retry(*app, retry);
        EXPECT_FALSE(retry->isActive());
        std::vector<ReminderRow> rows;
        EXPECT_TRUE(SqliteReminderStore().load(file, rows));
        EXPECT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows.empty() ? "" : rows[0].text(Col::Comment), "tea");

        // Everything saved: "Exit" ends without a question.
        asked.emplace([](QDialog* d) { d->reject(); });
        Exit()->trigger();
    });
    ASSERT_TRUE(asked);
    EXPECT_FALSE(asked->ran()) << "asked although everything was saved";
}

TEST_F(ExitWhileSavesFailTest, YesExitsAndTheExitLogsTheChangesLost) {
    for (const bool click : {true, false}) {
        SCOPED_TRACE(click ? "click Yes" : "Space on Yes");
        if (!click)
            StartWithAnUnsavedChange();
        std::string log;
        {
            StderrCapture capture(MakeTempFolder("stderr") + "/stderr.txt");
            QuestionSeen seen;
            RunInTheLoop([&] {
                seen = ExitAnswering([click](QDialog* d) {
                    auto* yes = d->findChild<QPushButton*>("yesButton");
                    if (click) {
                        QTest::mouseClick(yes, Qt::LeftButton);
                        return;
                    }
                    yes->setFocus(Qt::TabFocusReason);
                    QTest::keyClick(yes, Qt::Key_Space);
                });
            });
            log = capture.text();
            EXPECT_TRUE(seen.windowsOpen);
        }
        EXPECT_FALSE(editor);
        EXPECT_EQ(WindowList<AlertWindow>::find(tea), nullptr);
        EXPECT_TRUE(messages.empty()) << messages[0];
        EXPECT_NE(log.find("Chimewell: Unable to write " + file + ": "), std::string::npos) << log;
        EXPECT_EQ(ReadAll(file), before);
    }
}

TEST_F(MainWindowTest, AFailedSettingsWriteIsShownOncePerRunAndNoWindowWritesAFile) {
    const std::string ini = dataFolder + "/Chimly.ini";
    fs::create_directories(ini); // a folder stands where the settings file is
    auto wakeOwned = std::make_unique<FakeMinuteWake>();
    FakeMinuteWake* wake = wakeOwned.get();
    auto app = Started(std::move(wakeOwned));
    // The write at the start fails: shown once the event loop runs.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Unable to write to " + ini + "\n", 0), 0u) << messages[0];

    // A reminder alerts: the write after its scan fails again, silently.
    Reminder tea;
    tea.isNew = true;
    tea.message = "tea";
    tea.moment = now + std::chrono::minutes(1);
    tea.showAlert = true;
    const std::int32_t number = app->reminders().add(tea).number.value_or(-1);
    clock.set(now + std::chrono::seconds(61));
    wake->wake();
    ASSERT_TRUE(QTest::qWaitFor([&] { return WindowList<AlertWindow>::find(number) != nullptr; }));

    // A journal window that closes hands its placement over and writes nothing itself.
    app->showJournal();
    ASSERT_NE(WindowList<JournalWindow>::first(), nullptr);
    WindowList<JournalWindow>::first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(WindowList<JournalWindow>::first(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.size(), 1u) << messages.back();
    app->closeOtherWindows();
}

TEST_F(MainWindowTest, TrayStatesAndTheEndOfFlashing) {
    auto app = Started();
    TrayController* tray = app->tray();
    QTimer* flashStop = tray->findChild<QTimer*>("flashStopTimer");
    EXPECT_EQ(tray->state(), TrayController::State::Plain);
    SettingsCheck(*app, "showDayCheck")->setChecked(true);
    EXPECT_EQ(tray->state(), TrayController::State::Day);
    EXPECT_EQ(tray->trayDay(), 9);

    tray->startFlashing();
    EXPECT_EQ(tray->state(), TrayController::State::Flashing);
    for (int i = 0; i < 8; ++i)
        Tick(flashStop);
    tray->startFlashing(); // a second alert counts again from 0
    for (int i = 0; i < TrayController::FlashSeconds - 1; ++i)
        Tick(flashStop);
    EXPECT_EQ(tray->state(), TrayController::State::Flashing);
    Tick(flashStop);
    EXPECT_EQ(tray->state(), TrayController::State::Day);
    EXPECT_FALSE(flashStop->isActive());
    EXPECT_FALSE(tray->findChild<QTimer*>("flashTimer")->isActive());

    // The minute tick moves the day picture on after midnight.
    emit app->engine()->dayChanged(10);
    EXPECT_EQ(tray->trayDay(), 10);
    SettingsCheck(*app, "showDayCheck")->setChecked(false);
    EXPECT_EQ(tray->state(), TrayController::State::Plain);
    ExitThroughTheLoop(app);
    EXPECT_EQ(SettingsInteger(dataFolder + "/Chimly.ini", "ShowDay"), 0);
}

TEST_F(MainWindowTest, PresentationOfADueReminder) {
    const std::string sound = programFolder + "/bell.wav";
    std::ofstream(sound) << "RIFF";
    const QString click = QString::fromStdString(programFolder + "/sounds/click.wav");
    const std::string broken = programFolder + "/broken.wav";
    std::ofstream(broken) << "not a sound";
    player.unplayable = {QString::fromStdString(broken)};
    struct Case {
        const char* what;
        std::function<void(Reminder&)> set;
        QStringList played;
        std::vector<std::string> power;
        bool flashing;
        bool alert;
    } cases[] = {
        {"own sound beats the click",
         [&](Reminder& e) { e.playSound = e.click = true, e.soundPath = sound; },
         {"play " + QString::fromStdString(sound)},
         {},
         false,
         false},
        {"missing sound falls back to the click",
         [&](Reminder& e) { e.playSound = e.click = true, e.soundPath = sound + ".gone"; },
         {"play " + click},
         {},
         false,
         false},
        {"a folder as the sound counts as missing: the click plays",
         [&](Reminder& e) { e.playSound = e.click = true, e.soundPath = programFolder; },
         {"play " + click},
         {},
         false,
         false},
        {"an own sound that cannot be played: the click plays instead, even unticked",
         [&](Reminder& e) { e.playSound = true, e.soundPath = broken; },
         {"play " + QString::fromStdString(broken), "play " + click},
         {},
         false,
         false},
        {"click only", [](Reminder& e) { e.click = true; }, {"play " + click}, {}, false, false},
        {"flashing only", [](Reminder& e) { e.flashTray = true; }, {}, {}, true, false},
        {"alert window", [](Reminder& e) { e.showAlert = true; }, {}, {}, false, true},
        {"power-off replaces everything",
         [&](Reminder& e) {
             e.power = e.flashTray = e.playSound = e.showAlert = true;
             e.powerAction = PowerAction::PowerOff;
             e.soundPath = sound;
         },
         {},
         {"powerOff"},
         false,
         false},
        {"reboot", [](Reminder& e) { e.power = true; }, {}, {"reboot"}, false, false},
        {"after-start power action with 0 minutes does nothing",
         [](Reminder& e) { e.power = e.afterStart = true, e.minutesAfterStart = 0; },
         {},
         {},
         false,
         false},
        {"number 0 is nothing to present",
         [&](Reminder& e) { e.number = 0, e.playSound = e.showAlert = true, e.soundPath = sound; },
         {},
         {},
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto app = Started();
        player.calls.clear();
        power.calls.clear();
        Reminder e;
        e.number = 3;
        e.message = "tea";
        c.set(e);
        emit app->engine()->reminderDue(e); // as the engine announces a due reminder
        WaitForWorkers();
        EXPECT_EQ(player.calls, c.played);
        EXPECT_EQ(power.calls, c.power);
        EXPECT_EQ(app->tray()->state() == TrayController::State::Flashing, c.flashing);
        EXPECT_EQ(WindowList<AlertWindow>::find(3) != nullptr, c.alert);
        delete WindowList<AlertWindow>::find(3);
    }
}

TEST_F(MainWindowTest, ARefusedPowerActionIsShownWithoutOwnerAndLogged) {
    auto app = Started();
    struct Case {
        PowerAction action;
        PowerControl::Reply reply;
        const char* shown; // empty: no window
    };
    const Case cases[] = {
        {PowerAction::PowerOff,
         {false, "Access denied"},
         "The computer could not be switched off\nAccess denied"},
        {PowerAction::Reboot,
         {false, "Another user is logged in"},
         "The computer could not be restarted\nAnother user is logged in"},
        {PowerAction::PowerOff, {true, {}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        power.reply = c.reply;
        QString shown;
        bool owned = true;
        // Reads and closes the information window from inside its exec().
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown = d->findChild<QLabel*>(QStringLiteral("textLabel"))->text();
                owned = d->parentWidget() != nullptr;
                d->reject();
            }
        });
        poll.start();
        StderrCapture capture(MakeTempFolder("stderr") + "/stderr.txt");
        Reminder e;
        e.number = 3;
        e.power = true;
        e.powerAction = c.action;
        emit app->engine()->reminderDue(e);
        if (*c.shown != 0) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 20000));
            EXPECT_EQ(shown, QString::fromUtf8(c.shown));
            EXPECT_FALSE(owned);
            EXPECT_NE(
                capture.text().find(
                    "Chimewell: " +
                    QString::fromUtf8(c.shown).replace('\n', QStringLiteral(": ")).toStdString()),
                std::string::npos);
        } else {
            QTest::qWait(50);
            EXPECT_TRUE(shown.isEmpty()) << shown.toStdString();
            EXPECT_EQ(capture.text(), "");
        }
    }
    EXPECT_EQ(power.calls, (std::vector<std::string>{"powerOff", "reboot", "powerOff"}));
}

TEST_F(MainWindowTest, OkOnTheEditorsDefaultsAlertsAtOnceAndAnEditFromThatAlertDoesNotAgain) {
    auto wakeOwned = std::make_unique<FakeMinuteWake>();
    FakeMinuteWake* wake = wakeOwned.get();
    auto app = Started(std::move(wakeOwned)); // the load scans its minute, 10:00
    QSignalSpy due(app->engine(), &ReminderEngine::reminderDue);
    const auto settle = [] {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    };

    // "New..." half a minute later, "Ok" on what the editor offers: a once-only reminder at
    // 10:00 with an alert.
    clock.set(now + std::chrono::seconds(30));
    app->tray()->findChild<QAction*>("trayNewReminderAction")->trigger();
    ReminderEditor* editor = OpenedEditor();
    ASSERT_NE(editor, nullptr);
    QTest::mouseClick(editor->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    ASSERT_EQ(app->reminders().repository().table().count(), 1u);
    const std::int32_t number = app->reminders().repository().table().rowAt(0).integer(Col::N);
    ASSERT_TRUE(QTest::qWaitFor([&] { return WindowList<AlertWindow>::find(number) != nullptr; }));
    EXPECT_EQ(due.size(), 1);
    // Its moment is past: the list shows it grey.
    ReminderListModel* model = app->mainWindow()->listView()->reminderModel();
    const int row = model->rowOfNumber(number);
    ASSERT_GE(row, 0);
    EXPECT_EQ(
        decideCell(*model->rowAt(row), MessageColumn, model->nextTimeAt(row), model->now(), false)
            .colour,
        CellTextColour::Grey);

    // "Edit..." on its alert, a new message, "Ok": the same occurrence does not alert again,
    // nor does the next minute's scan.
    AlertWindow* alert = WindowList<AlertWindow>::find(number);
    ASSERT_TRUE(QTest::qWaitFor([&] { return alert->buttonsArmed(); }, 10000));
    QTest::mouseClick(alert->findChild<QPushButton*>("editButton"), Qt::LeftButton);
    editor = WindowList<ReminderEditor>::find(number);
    ASSERT_NE(editor, nullptr);
    editor->findChild<QPlainTextEdit*>("messageEdit")->clear();
    QTest::keyClicks(editor->findChild<QWidget*>("messageEdit"), "tea");
    editor->findChild<QPushButton*>("okButton")->setFocus();
    QTest::keyClick(editor->findChild<QPushButton*>("okButton"), Qt::Key_Space);
    EXPECT_EQ(app->reminders().repository().reminder(number)->message, "tea");
    settle();
    clock.set(now + std::chrono::seconds(60));
    wake->wake();
    settle();
    EXPECT_EQ(due.size(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return WindowList<AlertWindow>::find(number) == nullptr; }));
}

TEST_F(MainWindowTest, WindowKeepsItsSizeOverRunsThatShowIt) {
    const std::string ini = dataFolder + "/Chimly.ini";
    std::vector<std::pair<int, int>> sizes;
    for (int run = 0; run < 3; ++run) {
        auto app = Started();
        app->mainWindow()->showList();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
        QCoreApplication::processEvents();
        ExitThroughTheLoop(app); // writes the settings
        sizes.emplace_back(SettingsInteger(ini, "Width"), SettingsInteger(ini, "Height"));
        EXPECT_GT(sizes.back().first, 0);
    }
    EXPECT_EQ(sizes[1], sizes[0]);
    EXPECT_EQ(sizes[2], sizes[0]);
}

// The main window hands its placement on as it moves, changes state or is hidden, and as it
// ends: each write stores where the window is then. A maximized window leaves the stored
// position and size as they were.
TEST_F(MainWindowTest, TheMainWindowsPlacementIsWrittenAsItIsAtEachWrite) {
    const std::string ini = dataFolder + "/Chimly.ini";
    struct Case {
        const char* name;
        std::function<void(MainWindow&)> leave;
    };
    const Case cases[] = {
        {"open at the exit", [](MainWindow&) {}},
        {"hidden", [](MainWindow& w) { w.close(); }},
        {"minimized", [](MainWindow& w) { w.showMinimized(); }},
        {"maximized", [](MainWindow& w) { w.showMaximized(); }},
        {"maximized and hidden",
         [](MainWindow& w) {
             w.showMaximized();
             w.close();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::create_directories(dataFolder);
        std::ofstream(ini) << "[Position]\nState=2\nPosX=3\nPosY=4\nWidth=555\nHeight=444\n";
        auto wakeOwned = std::make_unique<FakeMinuteWake>();
        FakeMinuteWake* wake = wakeOwned.get();
        auto app = Started(std::move(wakeOwned));
        MainWindow* window = app->mainWindow();
        window->showList();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        window->move(120, 90);
        window->resize(600, 470);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->placement().left == 120; }));

        // A scan that alerts writes where the window is now.
        Reminder tea;
        tea.isNew = true;
        tea.message = "tea";
        tea.moment = clock.now().local + std::chrono::minutes(1);
        tea.showAlert = true;
        const std::int32_t number = app->reminders().add(tea).number.value_or(-1);
        clock.set(clock.now().local + std::chrono::seconds(61));
        wake->wake();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return WindowList<AlertWindow>::find(number) != nullptr; }));
        const WindowPlacement moved = window->placement();
        EXPECT_EQ(SettingsInteger(ini, "PosX"), moved.left);
        EXPECT_EQ(SettingsInteger(ini, "PosY"), moved.top);
        EXPECT_EQ(SettingsInteger(ini, "Width"), moved.width);
        EXPECT_EQ(SettingsInteger(ini, "Height"), moved.height);

        c.leave(*window);
        QCoreApplication::processEvents();
        const WindowPlacement atExit = window->placement();
        ExitThroughTheLoop(app);
        const ProgramSettings stored = readSettings(ini, clock, clock.now().local, 0, 0);
        EXPECT_EQ(stored.position.state, atExit.state);
        const WindowPlacement expected =
            atExit.state == WindowStateCode::Maximized ? moved : atExit;
        EXPECT_EQ(stored.position.left, expected.left);
        EXPECT_EQ(stored.position.top, expected.top);
        EXPECT_EQ(stored.position.width, expected.width);
        EXPECT_EQ(stored.position.height, expected.height);
        fs::remove_all(dataFolder);
    }
}

TEST_F(MainWindowTest, ExitAfterAnEditorOpenedItsCalendar) {
    auto app = Started();
    Action(*app, "actionNewReminder")->trigger();
    ReminderEditor* editor = OpenedEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
    // The drop-down button at the date box's right end opens the calendar.
    auto* dateEdit = editor->findChild<QDateEdit*>("dateEdit");
    QTest::mouseClick(dateEdit, Qt::LeftButton, {},
                      QPoint(dateEdit->width() - 6, dateEdit->height() / 2));
    QWidget* calendar = dateEdit->calendarWidget()->window();
    ASSERT_TRUE(QTest::qWaitFor([&] { return calendar->isVisible(); }));
    calendar->close();
    QPointer<ReminderEditor> alive(editor);
    QTimer::singleShot(0, app.get(),
                       [&] { app->tray()->findChild<QAction*>("trayExitAction")->trigger(); });
    RunUntilExit(app);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(MainWindowTest, TerminationWhileAnEditorShowsItsDialogEndsInOrder) {
    auto app = Started();
    ExitSignals exitSignals([&app] { app->exit(); });
    Action(*app, "actionNewReminder")->trigger();
    ReminderEditor* editor = OpenedEditor();
    ASSERT_NE(editor, nullptr);
    editor->findChild<QRadioButton*>("weeklyRadio")->setChecked(true);
    for (const char* day : {"mondayCheck", "tuesdayCheck", "wednesdayCheck", "thursdayCheck",
                            "fridayCheck", "saturdayCheck", "sundayCheck"})
        editor->findChild<QCheckBox*>(day)->setChecked(false);
    QPointer<ReminderEditor> alive(editor);
    // "Ok" without a day shows its dialog; the signal arrives while it is open.
    QTimer::singleShot(0, editor,
                       [editor] { editor->findChild<QPushButton*>("okButton")->click(); });
    QTimer watch;
    QString dialogText;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            for (QLabel* l : modal->findChildren<QLabel*>())
                dialogText += l->text();
            watch.stop();
            ::raise(SIGTERM);
        }
    });
    watch.start(10);
    RunUntilExit(app);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(dialogText, QString::fromStdString(Texts{}.noDayMarked));
    EXPECT_GT(SettingsInteger(dataFolder + "/Chimly.ini", "State"), -1) << "settings not written";
}

TEST_F(MainWindowTest, OpenListShowsAWindowThatIsBothHiddenAndMinimized) {
    auto app = Started();
    MainWindow* window = app->mainWindow();
    window->showMinimized();
    window->hide();
    ASSERT_TRUE(window->isMinimized());
    app->tray()->findChild<QAction*>("trayOpenListAction")->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(MainWindowTest, WithoutATrayTheWindowStaysReachable) {
    // The offscreen platform has no tray.
    auto app = Started();
    MainWindow* window = app->mainWindow();
    ASSERT_FALSE(app->tray()->trayAvailable());
    EXPECT_TRUE(window->isMinimized());
    ASSERT_NE(window->menuBar()->findChild<QMenu*>(), nullptr);
    EXPECT_FALSE(window->menuBar()->isHidden());
    window->close();
    EXPECT_TRUE(window->isVisible());
    QAction* soundOff = nullptr;
    for (QAction* a : window->menuBar()->findChild<QMenu*>()->actions())
        if (a->text() == "Sound off")
            soundOff = a;
    ASSERT_NE(soundOff, nullptr);
    soundOff->trigger();
    WaitForWorkers();
    EXPECT_EQ(player.calls, QStringList{"stop"});
}

TEST_F(MainWindowTest, TheDesignedSizeAtTheDefaultFont) {
    auto app = Started();
    app->mainWindow()->showList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    EXPECT_EQ(app->mainWindow()->size(), MainWindow::DesignedSize);
}

TEST_F(MainWindowTest, ALargerFontClipsNothingOnEitherPage) {
    const ScopedLook look({QStringLiteral("en"), 1.5, true});
    auto app = Started();
    Reminder e;
    e.isNew = true;
    e.message = "Call Anna about the concert tickets";
    ASSERT_TRUE(app->reminders().add(e).ok());
    MainWindow* window = app->mainWindow();
    window->reloadReminders();
    window->showList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_GT(window->font().pixelSize(), ColorScheme::DefaultPixelSize);
    EXPECT_THAT(clippedWidgets(window), ::testing::IsEmpty());
    window->findChild<QTabWidget*>("pages")->setCurrentIndex(1);
    EXPECT_THAT(clippedWidgets(window), ::testing::IsEmpty());
}

namespace {

int OpenEditors() {
    return static_cast<int>(std::ranges::count_if(WindowList<ReminderEditor>::all(),
                                                  [](auto* e) { return !e->isClosing(); }));
}

struct CommandsTest : MainWindowTest {
    std::unique_ptr<AppController> app;
    MainWindow* window = nullptr;
    std::int32_t tea = 0;
    void SetUp() override {
        MainWindowTest::SetUp();
        app = Started();
        window = app->mainWindow();
        Reminder e;
        e.isNew = true;
        e.message = "tea";
        tea = app->reminders().add(e).number.value_or(-1);
        ASSERT_TRUE(app->reminders().save());
        window->reloadReminders(); // a reminder just added becomes current
        window->showNormal();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override {
        app->closeOtherWindows();
        app.reset();
        MainWindowTest::TearDown();
    }
    QAction* Command(const char* name) const { return Action(*app, name); }
    QTabWidget* Pages() const { return window->findChild<QTabWidget*>("pages"); }
    fs::file_time_type Written() const { return fs::last_write_time(dataFolder + "/things.mln"); }
};

} // namespace

TEST_F(CommandsTest, EnablingFollowsTheCurrentReminder) {
    EXPECT_EQ(window->listView()->currentNumber(), tea);
    EXPECT_TRUE(Command("actionEdit")->isEnabled());
    EXPECT_TRUE(Command("actionDelete")->isEnabled());
    setNextAskYesNoAnswer(true);
    Command("actionDelete")->trigger();
    EXPECT_EQ(window->listView()->currentNumber(), std::nullopt);
    for (const char* name : {"actionEdit", "actionCopy", "actionDelete"})
        EXPECT_FALSE(Command(name)->isEnabled()) << name;
    EXPECT_TRUE(Command("actionNew")->isEnabled());
    EXPECT_TRUE(Command("actionNewReminder")->isEnabled());
}

TEST_F(CommandsTest, CommandsActOnTheReminderTheListShowsCurrent) {
    Reminder e;
    e.isNew = true;
    e.message = "apple";
    const std::int32_t apple = app->reminders().add(e).number.value_or(-1);
    window->reloadReminders();
    ASSERT_EQ(window->listView()->currentNumber(), apple);
    // The user picks "tea" (second row) with the keyboard, then deletes it.
    window->listView()->setFocus();
    QTest::keyClick(window->listView(), Qt::Key_Down);
    ASSERT_EQ(window->listView()->currentNumber(), tea);
    setNextAskYesNoAnswer(true);
    QTest::keyClick(window->listView(), Qt::Key_Delete);
    EXPECT_EQ(app->reminders().repository().findRow(tea), nullptr);
    EXPECT_NE(app->reminders().repository().findRow(apple), nullptr);
}

TEST_F(CommandsTest, ListGuardStopsCommandsUnlessTheListShows) {
    Pages()->setCurrentIndex(1);
    for (const char* name : {"actionNew", "actionEdit", "actionCopy", "actionDelete"})
        Command(name)->trigger();
    EXPECT_EQ(OpenEditors(), 0);
    EXPECT_EQ(app->reminders().repository().table().count(), 1u);

    Pages()->setCurrentIndex(0);
    window->hide();
    Command("actionNew")->trigger();
    EXPECT_EQ(OpenEditors(), 0);
    // "New..." of the tray menu works while hidden.
    app->tray()->findChild<QAction*>("trayNewReminderAction")->trigger();
    EXPECT_EQ(OpenEditors(), 1);
}

TEST_F(CommandsTest, DeleteAsksAndWritesTheFileOnlyOnYes) {
    app->reminders().waitForFile();
    const auto before = Written();
    setNextAskYesNoAnswer(false);
    Command("actionDelete")->trigger();
    EXPECT_EQ(app->reminders().repository().table().count(), 1u);
    app->reminders().waitForFile();
    EXPECT_EQ(Written(), before);

    setNextAskYesNoAnswer(true);
    Command("actionDelete")->trigger();
    EXPECT_EQ(app->reminders().repository().table().count(), 0u);
    // The file is written on its worker.
    app->reminders().waitForFile();
    ReminderRepository onDisk;
    ASSERT_TRUE(onDisk.load(dataFolder + "/things.mln").ok());
    EXPECT_EQ(onDisk.table().count(), 0u);
}

TEST_F(CommandsTest, EditOpensOneEditorPerReminderAndCopyANewOne) {
    Command("actionEdit")->trigger();
    Command("actionEdit")->trigger();
    EXPECT_EQ(OpenEditors(), 1);
    ASSERT_NE(WindowList<ReminderEditor>::find(tea), nullptr);
    Command("actionCopy")->trigger();
    EXPECT_EQ(OpenEditors(), 2);
    EXPECT_EQ(app->reminders().repository().table().count(), 1u); // a copy exists only once saved
}

TEST_F(CommandsTest, EditOnTheAlertOpensTheEditorAndClosesTheAlert) {
    app->alertPresenter()->showAlertWindow("tea", tea);
    AlertWindow* alert = WindowList<AlertWindow>::find(tea);
    ASSERT_NE(alert, nullptr);
    emit alert->editRequested(tea); // "Edit..." once the alert's buttons are armed
    EXPECT_NE(WindowList<ReminderEditor>::find(tea), nullptr);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return WindowList<AlertWindow>::find(tea) == nullptr; }, 20000));

    // A reminder deleted meanwhile: the alert stays.
    app->alertPresenter()->showAlertWindow("gone", 999);
    AlertWindow* gone = WindowList<AlertWindow>::find(999);
    ASSERT_NE(gone, nullptr);
    emit gone->editRequested(999);
    EXPECT_EQ(WindowList<AlertWindow>::find(999), gone);
    EXPECT_EQ(WindowList<ReminderEditor>::find(999), nullptr);
}

TEST_F(CommandsTest, ToolbarTabsAndSettingsPageAnswerTheMouseAndSpace) {
    auto* bar = window->findChild<QToolBar*>("commandBar");
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar->widgetForAction(Command("actionNew")), Qt::LeftButton);
    EXPECT_EQ(OpenEditors(), 1);
    QTest::mouseClick(bar->widgetForAction(Command("actionEdit")), Qt::LeftButton);
    EXPECT_EQ(OpenEditors(), 2);
    QTest::mouseClick(bar->widgetForAction(Command("actionCopy")), Qt::LeftButton);
    EXPECT_EQ(OpenEditors(), 3);
    setNextAskYesNoAnswer(true);
    QTest::mouseClick(bar->widgetForAction(Command("actionDelete")), Qt::LeftButton);
    EXPECT_EQ(app->reminders().repository().table().count(), 0u);

    QTabBar* tabs = Pages()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    ASSERT_EQ(Pages()->currentIndex(), 1);
    QCheckBox* showDay = SettingsCheck(*app, "showDayCheck");
    // On its box: the check box spans the page, its text does not.
    QTest::mouseClick(showDay, Qt::LeftButton, {}, QPoint(6, showDay->height() / 2));
    EXPECT_EQ(app->tray()->state(), TrayController::State::Day);
    showDay->setFocus();
    QTest::keyClick(showDay, Qt::Key_Space);
    EXPECT_EQ(app->tray()->state(), TrayController::State::Plain);
    QCheckBox* showMissed = SettingsCheck(*app, "showMissedCheck");
    QTest::mouseClick(showMissed, Qt::LeftButton, {}, QPoint(6, showMissed->height() / 2));
    EXPECT_FALSE(app->settings().values().showMissedAtStart);
    QRadioButton* russian = window->findChild<QRadioButton*>("russianRadio");
    russian->setFocus();
    QTest::keyClick(russian, Qt::Key_Space);
    EXPECT_EQ(app->settings().values().language, LanguageChoice::Russian);
}

TEST_F(CommandsTest, TheListWorksOutNextTimesAsOfNowWhenTheTableChanges) {
    // Days without a scan (as while the table is empty), then a reminder is added.
    clock.set(now + std::chrono::hours(72));
    Command("actionNewReminder")->trigger();
    ReminderEditor* editor = OpenedEditor();
    ASSERT_NE(editor, nullptr);
    editor->findChild<QCheckBox*>("showAlertCheck")->setChecked(true);
    editor->accept();
    ASSERT_EQ(app->reminders().repository().table().count(), 2u);
    EXPECT_EQ(window->listView()->reminderModel()->now(), now + std::chrono::hours(72));
}

// --- the journal of missed reminders --------------------------------------------

namespace {

// Saves a reminder due every day at hour:minute with an alert; returns its number.
std::int32_t SaveDaily(AppController& app, const std::string& message, int hour, int minute) {
    Reminder r;
    r.isNew = true;
    r.message = message;
    r.kind = ScheduleKind::Weekly;
    r.days = {true, true, true, true, true, true, true};
    r.moment = makeMoment(2000, 1, 1, hour, minute);
    r.showAlert = true;
    const Status saved = app.reminders().add(r);
    EXPECT_TRUE(saved.ok()) << saved.error;
    return saved.number.value_or(-1);
}

std::vector<std::string> JournalMessages() {
    std::vector<std::string> v;
    if (JournalWindow* journal = WindowList<JournalWindow>::first())
        for (MissedEntry* e : journal->entries())
            v.push_back(e->findChild<QLabel*>("messageLabel")->text().toStdString());
    return v;
}

struct JournalTest : MainWindowTest {
    void TearDown() override {
        delete WindowList<JournalWindow>::first();
        MainWindowTest::TearDown();
    }
    // A first run on Wednesday at 10:00 adds three daily reminders and exits; the clock
    // then moves on to Thursday 10:30, so each of them was missed once.
    void RunOnceAndMoveOn(bool showMissed) {
        auto first = Started();
        EXPECT_EQ(WindowList<JournalWindow>::first(), nullptr); // nothing missed on a first start
        EXPECT_FALSE(Action(*first, "actionJournal")->isEnabled());
        SaveDaily(*first, "tea", 11, 0);  // 1
        SaveDaily(*first, "post", 12, 0); // 2
        SaveDaily(*first, "walk", 9, 0);  // 3
        if (!showMissed)
            SettingsCheck(*first, "showMissedCheck")->setChecked(false);
        ExitThroughTheLoop(first);
        clock.set(now + std::chrono::hours(24) + std::chrono::minutes(30));
    }
};

} // namespace

TEST_F(JournalTest, OpensAtStartWithWhatWasMissedAndComesBackFromTheToolbar) {
    RunOnceAndMoveOn(true);
    auto app = Started();
    JournalWindow* journal = WindowList<JournalWindow>::first();
    ASSERT_NE(journal, nullptr);
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"tea", "post", "walk"}));
    EXPECT_TRUE(journal->windowTitle().startsWith("Events that skipped from "));
    EXPECT_EQ(app->missedCount(), 3);
    QAction* command = Action(*app, "actionJournal");
    EXPECT_TRUE(command->isEnabled());

    // "Ok" on every entry leaves the command enabled.
    for (MissedEntry* e : journal->entries())
        QTest::mouseClick(e->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    EXPECT_TRUE(JournalMessages().empty());
    EXPECT_TRUE(command->isEnabled());

    // Closed and opened again from the toolbar: every entry is back.
    journal->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(WindowList<JournalWindow>::first(), nullptr);
    app->mainWindow()->showList();
    QTest::mouseClick(
        app->mainWindow()->findChild<QToolBar*>("commandBar")->widgetForAction(command),
        Qt::LeftButton);
    journal = WindowList<JournalWindow>::first();
    ASSERT_NE(journal, nullptr);
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"tea", "post", "walk"}));

    // The command while the journal is open (and minimized) brings that window back as it is.
    QTest::mouseClick(journal->entries()[0]->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    journal->showMinimized();
    command->trigger();
    EXPECT_EQ(WindowList<JournalWindow>::first(), journal);
    EXPECT_FALSE(journal->isMinimized());
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"post", "walk"}));
}

TEST_F(JournalTest, WithShowMissedOffNothingOpensAndTheCommandStaysOff) {
    RunOnceAndMoveOn(false);
    auto app = Started();
    EXPECT_EQ(WindowList<JournalWindow>::first(), nullptr);
    EXPECT_EQ(app->missedCount(), 0);
    EXPECT_FALSE(Action(*app, "actionJournal")->isEnabled());
}

TEST_F(JournalTest, EditOnAnEntryOpensOrBringsBackTheEditor) {
    RunOnceAndMoveOn(true);
    auto app = Started();
    ASSERT_NE(WindowList<JournalWindow>::first(), nullptr);
    MissedEntry* post = WindowList<JournalWindow>::first()->entries()[1];
    QTest::mouseClick(post->findChild<QPushButton*>("editButton"), Qt::LeftButton);
    ReminderEditor* editor = WindowList<ReminderEditor>::find(2);
    ASSERT_NE(editor, nullptr);
    editor->showMinimized();
    QTest::mouseClick(post->findChild<QPushButton*>("editButton"), Qt::LeftButton);
    EXPECT_EQ(WindowList<ReminderEditor>::find(2), editor);
    EXPECT_FALSE(editor->isMinimized());
    EXPECT_EQ(OpenEditors(), 1);
    EXPECT_EQ(JournalMessages().size(), 3u); // the entry stays

    // A reminder deleted meanwhile: its entry goes, and an edit asked for before that opens
    // nothing.
    app->closeOtherWindows(); // the journal goes too
    ASSERT_TRUE(app->reminders().remove(3));
    app->showJournal();
    EXPECT_EQ(JournalMessages().size(), 2u);
    emit WindowList<JournalWindow>::first()->editRequested(3);
    EXPECT_EQ(OpenEditors(), 0);
}

TEST_F(JournalTest, WhatASleepSkippedIsJournaledAndTheWakingMinuteAlerts) {
    auto wakeOwned = std::make_unique<FakeMinuteWake>();
    FakeMinuteWake* wake = wakeOwned.get();
    auto app = Started(std::move(wakeOwned));
    ASSERT_TRUE(wake->isActive());
    const std::int32_t tea = SaveDaily(*app, "tea", 11, 0);
    const std::int32_t noon = SaveDaily(*app, "noon", 12, 0);
    wake->wake(); // Wednesday 10:00, the first scan
    QCoreApplication::processEvents();

    // Asleep until 12:00:05; the wake on resume scans at once.
    clock.setWallClock(
        UtcInstant{(now + std::chrono::minutes(120) + std::chrono::seconds(5)).time_since_epoch()});
    wake->wake();
    EXPECT_TRUE(QTest::qWaitFor([&] { return WindowList<AlertWindow>::find(noon) != nullptr; }));
    EXPECT_EQ(WindowList<AlertWindow>::find(tea), nullptr);
    JournalWindow* journal = WindowList<JournalWindow>::first();
    ASSERT_NE(journal, nullptr);
    EXPECT_EQ(JournalMessages(), std::vector<std::string>{"tea"});
    EXPECT_EQ(journal->windowTitle(), "Events that skipped from " + RegionalDateTimeText(now) +
                                          " to " + RegionalDateTimeText(clock.now().local));
    EXPECT_TRUE(Action(*app, "actionJournal")->isEnabled());

    // A second sleep refills the open journal (with a newer occurrence of the one dismissed)
    // and widens its caption.
    QTest::mouseClick(journal->entries()[0]->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    clock.setWallClock(UtcInstant{(now + std::chrono::hours(27)).time_since_epoch()});
    wake->wake();
    EXPECT_TRUE(QTest::qWaitFor([] { return JournalMessages().size() == 2; }));
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"tea", "noon"}));
    EXPECT_EQ(WindowList<JournalWindow>::first(), journal);
    EXPECT_TRUE(journal->windowTitle().endsWith(RegionalDateTimeText(clock.now().local)));

    // Closed, and "Show Missed after start" off: the next sleep shows the journal all the same.
    journal->close();
    SettingsCheck(*app, "showMissedCheck")->setChecked(false);
    clock.setWallClock(UtcInstant{(now + std::chrono::hours(50)).time_since_epoch()});
    wake->wake();
    const Moment friday11 = makeMoment(2026, 12, 11, 11, 0);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return app->missedJournal().entries()[0].occurrence == friday11; }));
    EXPECT_NE(WindowList<JournalWindow>::first(), nullptr);
    EXPECT_TRUE(Action(*app, "actionJournal")->isEnabled());
    app->closeOtherWindows();
}

// "LastTime" as written in the settings file.
std::string LastTimeIn(const std::string& ini) {
    std::ifstream in(ini);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("LastTime=", 0) == 0)
            return line.substr(9);
    return {};
}

// A run that is killed leaves as its end the moment it last alerted or filled the journal:
// the next start lists exactly what fell due after that.
TEST_F(JournalTest, AKilledRunEndsWhereItLastShowedSomething) {
    const std::string ini = dataFolder + "/Chimly.ini";
    auto wakeOwned = std::make_unique<FakeMinuteWake>();
    FakeMinuteWake* wake = wakeOwned.get();
    auto app = Started(std::move(wakeOwned));
    EXPECT_EQ(LastTimeIn(ini), "2026-12-09T10:00:00+00:00"); // the start
    SaveDaily(*app, "tea", 10, 1);
    SaveDaily(*app, "walk", 10, 2);
    SaveDaily(*app, "post", 12, 0);
    const std::int32_t late = SaveDaily(*app, "late", 12, 40);
    ASSERT_TRUE(app->reminders().save());
    wake->wake(); // 10:00: nothing due, nothing written
    QCoreApplication::processEvents();
    EXPECT_EQ(LastTimeIn(ini), "2026-12-09T10:00:00+00:00");

    clock.set(now + std::chrono::minutes(1) + std::chrono::milliseconds(2500));
    wake->wake();
    ASSERT_TRUE(QTest::qWaitFor([&] { return WindowList<AlertWindow>::find(1) != nullptr; }));
    EXPECT_EQ(LastTimeIn(ini), "2026-12-09T10:01:02+00:00"); // the scan that alerted

    // Asleep until 12:30:05: the journal fills with what the sleep skipped.
    clock.setWallClock(UtcInstant{makeMoment(2026, 12, 9, 12, 30, 5).time_since_epoch()});
    wake->wake();
    ASSERT_TRUE(QTest::qWaitFor([] { return JournalMessages().size() == 2; }));
    EXPECT_EQ(LastTimeIn(ini), "2026-12-09T12:30:05+00:00");

    // Killed: no exit runs. The next start, at 13:00, lists of what fell due only the 12:40
    // reminder, and the 10:01 alert that was still open.
    app.reset();
    clock.setWallClock(UtcInstant{makeMoment(2026, 12, 9, 13, 0).time_since_epoch()});
    auto next = Started();
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"tea", "late"}));
    ASSERT_EQ(next->missedJournal().entries().size(), 2u);
    EXPECT_TRUE(next->missedJournal().entries()[0].carried);
    EXPECT_EQ(next->missedJournal().entries()[0].occurrence, makeMoment(2026, 12, 9, 10, 1));
    EXPECT_EQ(next->missedJournal().entries()[1].number, late);
    EXPECT_FALSE(next->missedJournal().entries()[1].carried);

    // "Ok" on the alert's entry answers it: the start after that lists it no more.
    QTest::mouseClick(
        WindowList<JournalWindow>::first()->entries()[0]->findChild<QPushButton*>("okButton"),
        Qt::LeftButton);
    EXPECT_EQ(next->missedJournal().count(), 1);
    next->reminders().waitForFile();
    next.reset();
    delete WindowList<JournalWindow>::first();
    auto third = Started();
    EXPECT_TRUE(JournalMessages().empty());
}

// The journal window hands its placement to the controller as it closes; the next journal
// window opens there, and the settings file gets it with the next write.
TEST_F(JournalTest, TheJournalsPlacementGoesWithTheNextSettingsWrite) {
    RunOnceAndMoveOn(true);
    const std::string ini = dataFolder + "/Chimly.ini";
    auto app = Started();
    JournalWindow* journal = WindowList<JournalWindow>::first();
    ASSERT_NE(journal, nullptr);
    journal->move(40, 50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return journal->pos() == QPoint(40, 50); }));
    const QPoint at = journal->frameGeometry().topLeft();
    const std::string before = ReadAll(ini);
    journal->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(WindowList<JournalWindow>::first(), nullptr);
    EXPECT_EQ(ReadAll(ini), before) << "the journal window wrote the settings file";

    app->showJournal();
    ASSERT_NE(WindowList<JournalWindow>::first(), nullptr);
    EXPECT_EQ(WindowList<JournalWindow>::first()->frameGeometry().topLeft(), at);
    ExitThroughTheLoop(app);
    const ProgramSettings stored = readSettings(ini, clock, clock.now().local, 0, 0);
    ASSERT_TRUE(stored.journal);
    EXPECT_EQ(QPoint(stored.journal->left, stored.journal->top), at);
}

TEST_F(JournalTest, WithShowMissedOffASleepStillShowsAndTheJournalFollowsTheUserAndReminders) {
    auto wakeOwned = std::make_unique<FakeMinuteWake>();
    FakeMinuteWake* wake = wakeOwned.get();
    auto app = Started(std::move(wakeOwned));
    QCheckBox* showMissed = SettingsCheck(*app, "showMissedCheck");
    QTest::mouseClick(showMissed, Qt::LeftButton, {}, QPoint(6, showMissed->height() / 2));
    ASSERT_FALSE(app->settings().values().showMissedAtStart);
    SaveDaily(*app, "tea", 11, 0);                             // 1
    const std::int32_t post = SaveDaily(*app, "post", 11, 30); // 2
    const std::int32_t walk = SaveDaily(*app, "walk", 12, 15); // 3
    const auto asleepUntil = [&](Moment t) {
        clock.setWallClock(UtcInstant{t.time_since_epoch()});
        wake->wake();
    };

    // Asleep from 10:00 to 12:00:05: what fell due meanwhile is shown on waking.
    asleepUntil(makeMoment(2026, 12, 9, 12, 0, 5));
    ASSERT_TRUE(QTest::qWaitFor([] { return WindowList<JournalWindow>::first() != nullptr; }));
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"tea", "post"}));

    // "Ok" on tea; a later sleep refills the window, and tea stays dismissed.
    JournalWindow* journal = WindowList<JournalWindow>::first();
    QTest::mouseClick(journal->entries()[0]->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    asleepUntil(makeMoment(2026, 12, 9, 12, 30));
    ASSERT_TRUE(QTest::qWaitFor([] { return JournalMessages().size() == 2; }));
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"post", "walk"}));
    EXPECT_EQ(WindowList<JournalWindow>::first(), journal);

    // An edited reminder shows its new message; a deleted one's entry goes.
    QTest::mouseClick(journal->entries()[0]->findChild<QPushButton*>("editButton"), Qt::LeftButton);
    ReminderEditor* editor = WindowList<ReminderEditor>::find(post);
    ASSERT_NE(editor, nullptr);
    editor->findChild<QPlainTextEdit*>("messageEdit")->setPlainText("post office");
    QTest::mouseClick(editor->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"post office", "walk"}));
    MainWindow* window = app->mainWindow();
    window->showList();
    ASSERT_TRUE(window->listView()->setCurrentNumber(walk));
    setNextAskYesNoAnswer(true);
    QTest::mouseClick(
        window->findChild<QToolBar*>("commandBar")->widgetForAction(Action(*app, "actionDelete")),
        Qt::LeftButton);
    ASSERT_EQ(app->reminders().repository().findRow(walk), nullptr);
    EXPECT_EQ(JournalMessages(), std::vector<std::string>{"post office"});

    // Closed and opened again: the dismissed entry is back.
    journal->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::mouseClick(
        window->findChild<QToolBar*>("commandBar")->widgetForAction(Action(*app, "actionJournal")),
        Qt::LeftButton);
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"tea", "post office"}));
    app->closeOtherWindows();
}

TEST_F(JournalTest, TheJournalCommandHasAKeyNamedInItsHint) {
    RunOnceAndMoveOn(true);
    auto app = Started();
    ASSERT_NE(WindowList<JournalWindow>::first(), nullptr);
    WindowList<JournalWindow>::first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(WindowList<JournalWindow>::first(), nullptr);
    EXPECT_EQ(Action(*app, "actionJournal")->toolTip(), "Events that skipped (Ctrl+J)");
    EXPECT_EQ(Action(*app, "actionNew")->toolTip(), "New... (F2)");

    MainWindow* window = app->mainWindow();
    window->showList();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_J, Qt::ControlModifier);
    ASSERT_NE(WindowList<JournalWindow>::first(), nullptr);
    EXPECT_EQ(JournalMessages(), (std::vector<std::string>{"tea", "post", "walk"}));
    app->closeOtherWindows();
}

TEST_F(JournalTest, TheJournalKeysStopThere) {
    RunOnceAndMoveOn(true);
    auto app = Started();
    JournalWindow* journal = WindowList<JournalWindow>::first();
    ASSERT_NE(journal, nullptr);
    app->mainWindow()->showList();
    journal->activateWindow();
    journal->entries()[0]->setFocus();
    for (Qt::Key key : {Qt::Key_F2, Qt::Key_F4, Qt::Key_F8, Qt::Key_F9})
        QTest::keyClick(journal->entries()[0], key);
    EXPECT_EQ(OpenEditors(), 0);
    EXPECT_EQ(app->reminders().repository().table().count(), 3u);
}
