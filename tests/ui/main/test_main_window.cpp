#include "core/AppPaths.h"
#include "engine/AsyncTask.h"
#include "i18n/Texts.h"
#include "tests/platform/FakePowerControl.h"
#include "tests/platform/FakeSoundPlayer.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempHome.h"
#include "ui/alert/AlertWindow.h"
#include "ui/dialogs/DialogSeams.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/editor/ReminderEditor.h"
#include "ui/main/ExitSignals.h"
#include "ui/main/ThingsGrid.h"
#include "ui/main/ThingsListModel.h"
#include "ui/main/TrayImages.h"
#include "ui/main/Unit1.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct MainWindowTest : ::testing::Test {
    Moment now = makeMoment(2026, 12, 9, 10, 0, 0);
    FakeClock clock{now};
    FakeSoundPlayer player;
    FakePowerControl power;
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
    std::unique_ptr<TForm1> Started() {
        auto form = std::make_unique<TForm1>(clock);
        form->TimerStartTimer();
        return form;
    }
    static void WaitForWorkers() {
        QTRY_COMPARE_WITH_TIMEOUT(AsyncTask::pendingCount(), 0, 20000);
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(MainWindowTest, StartCreatesTheTableFileAndStartsTheMinuteTick) {
    auto form = Started();
    EXPECT_TRUE(fs::exists(dataFolder + "/things.mln"));
    EXPECT_TRUE(form->Timer1.isActive());
    EXPECT_EQ(form->settingsPath.toStdString(), dataFolder + "/Chimly.ini");
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, UnreadableTableIsReportedNoTickStartsAndItIsNeverOverwritten) {
    fs::create_directories(dataFolder);
    std::ofstream(dataFolder + "/things.mln") << "this is not a table";
    {
        auto form = Started();
        EXPECT_FALSE(form->Timer1.isActive());
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(dataFolder + "/things.mln"), std::string::npos);
        // Nothing can be typed that would be lost: the commands that change reminders
        // are off, and the status bar says why.
        for (QAction* a : {form->actNew, form->actNewThing, form->actEditThing, form->actCopyThing,
                           form->actDelThing}) {
            EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
            a->trigger();
        }
        EXPECT_EQ(ReminderEditor::find(-1), nullptr);
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_EQ(qobject_cast<ReminderEditor*>(w), nullptr);
        const QString status = form->statusBar()->currentMessage();
        EXPECT_TRUE(status.contains(QString::fromStdString(dataFolder + "/things.mln")))
            << status.toStdString();
        EXPECT_TRUE(status.contains("cannot be changed")) << status.toStdString();
        form->SaveCDS();
    } // destruction saves too
    std::ifstream in(dataFolder + "/things.mln");
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "this is not a table");
}

TEST_F(MainWindowTest, EveryWindowShowsTheProgramIcon) {
    auto form = Started();
    ASSERT_FALSE(QApplication::windowIcon().isNull());
    AlertWindow* alert = AlertWindow::showAlert("tea", 1, now);
    ASSERT_NE(alert, nullptr);
    EXPECT_FALSE(alert->windowIcon().isNull());
    delete alert;
}

TEST_F(MainWindowTest, ATableFileThatCannotBeCreatedIsReportedButRemindersStillFire) {
    // A folder stands where the new file would be written.
    fs::create_directories(dataFolder + "/things.mln.new-" + std::to_string(::getpid()) + "/x");
    auto form = Started();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Unable to write"), std::string::npos) << messages[0];
    EXPECT_TRUE(form->Timer1.isActive());
}

TEST_F(MainWindowTest, TrayStatesAndTheAnimationCountdown) {
    auto form = Started();
    EXPECT_EQ(form->trayState(), TForm1::TrayState::Plain);
    form->chbShowDay->setChecked(true);
    EXPECT_EQ(form->trayState(), TForm1::TrayState::Day);
    EXPECT_EQ(form->XDayPrev, 9);

    form->StartTrayAnimation();
    EXPECT_EQ(form->trayState(), TForm1::TrayState::Flashing);
    for (int i = 0; i < 8; ++i)
        form->TimerStopAnimationTimer();
    form->StartTrayAnimation(); // a second alert counts again from 0
    for (int i = 0; i < 10; ++i)
        form->TimerStopAnimationTimer();
    EXPECT_EQ(form->trayState(), TForm1::TrayState::Flashing);
    form->TimerStopAnimationTimer();
    EXPECT_EQ(form->trayState(), TForm1::TrayState::Day);
    EXPECT_FALSE(form->TimerStopAnimation.isActive());

    // The minute tick moves the day icon on after midnight.
    form->MinuteTickDayStep(10);
    EXPECT_EQ(form->XDayPrev, 10);
    form->chbShowDay->setChecked(false);
    EXPECT_EQ(form->trayState(), TForm1::TrayState::Plain);
}

TEST_F(MainWindowTest, PresentationOfADueReminder) {
    const std::string sound = programFolder + "/bell.wav";
    std::ofstream(sound) << "RIFF";
    const QString click = QString::fromStdString(programFolder + "/sounds/click.wav");
    struct Case {
        const char* what;
        std::function<void(Reminder&)> set;
        QStringList played;
        std::vector<std::string> power;
        bool flashing;
    } cases[] = {
        {"own sound beats the click",
         [&](Reminder& e) { e.playSound = e.click = true, e.soundPath = sound; },
         {"play " + QString::fromStdString(sound)},
         {},
         false},
        {"missing sound falls back to the click",
         [&](Reminder& e) { e.playSound = e.click = true, e.soundPath = sound + ".gone"; },
         {"play " + click},
         {},
         false},
        {"a folder as the sound counts as missing: the click plays",
         [&](Reminder& e) { e.playSound = e.click = true, e.soundPath = programFolder; },
         {"play " + click},
         {},
         false},
        {"click only", [](Reminder& e) { e.click = true; }, {"play " + click}, {}, false},
        {"animation only", [](Reminder& e) { e.flashTray = true; }, {}, {}, true},
        {"power-off replaces everything",
         [&](Reminder& e) {
             e.power = e.flashTray = e.playSound = e.showAlert = true;
             e.powerAction = PowerAction::PowerOff;
             e.soundPath = sound;
         },
         {},
         {"powerOff"},
         false},
        {"reboot", [](Reminder& e) { e.power = true; }, {}, {"reboot"}, false},
        {"after-start power action with 0 minutes does nothing",
         [](Reminder& e) { e.power = e.afterStart = true, e.minutesAfterStart = 0; },
         {},
         {},
         false},
        {"number 0 is nothing to present",
         [&](Reminder& e) { e.number = 0, e.playSound = true, e.soundPath = sound; },
         {},
         {},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto form = Started();
        player.calls.clear();
        power.calls.clear();
        Reminder e;
        e.number = 3;
        e.message = "tea";
        c.set(e);
        form->ShowCurrentNote(e);
        WaitForWorkers();
        EXPECT_EQ(player.calls, c.played);
        EXPECT_EQ(power.calls, c.power);
        EXPECT_EQ(form->trayState() == TForm1::TrayState::Flashing, c.flashing);
    }
}

namespace {

int SettingsInteger(const std::string& ini, const std::string& key) {
    std::ifstream in(ini);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + "=", 0) == 0)
            return std::stoi(line.substr(key.size() + 1));
    return -1;
}

} // namespace

TEST_F(MainWindowTest, WindowKeepsItsSizeOverRunsThatShowIt) {
    const std::string ini = dataFolder + "/Chimly.ini";
    std::vector<std::pair<int, int>> sizes;
    for (int run = 0; run < 3; ++run) {
        auto form = Started();
        form->List1Click();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        form.reset(); // writes the settings
        sizes.emplace_back(SettingsInteger(ini, "Width"), SettingsInteger(ini, "Height"));
        EXPECT_GT(sizes.back().first, 0);
    }
    EXPECT_EQ(sizes[1], sizes[0]);
    EXPECT_EQ(sizes[2], sizes[0]);
}

// Ends the program as its entry does: the event loop runs until the exit, then the
// main window is destroyed.
void RunUntilExit(std::unique_ptr<TForm1>& form) {
    EXPECT_EQ(QApplication::exec(), 0);
    form.reset();
}

TEST_F(MainWindowTest, ExitAfterAnEditorOpenedItsCalendar) {
    auto form = Started();
    form->actNewThing->trigger();
    ReminderEditor* editor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* e = qobject_cast<ReminderEditor*>(w))
            editor = e;
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
    QTimer::singleShot(0, form.get(), [&] { form->actExit->trigger(); });
    RunUntilExit(form);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(MainWindowTest, TerminationWhileAnEditorShowsItsDialogEndsInOrder) {
    auto form = Started();
    ExitSignals exitSignals([&form] { form->actExitExecute(); });
    form->actNewThing->trigger();
    ReminderEditor* editor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* e = qobject_cast<ReminderEditor*>(w))
            editor = e;
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
    RunUntilExit(form);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(dialogText, QString::fromStdString(Texts{}.noDayMarked));
    EXPECT_GT(SettingsInteger(dataFolder + "/Chimly.ini", "State"), -1) << "settings not written";
}

TEST_F(MainWindowTest, OpenListShowsAWindowThatIsBothHiddenAndMinimized) {
    auto form = Started();
    form->showMinimized();
    form->hide();
    ASSERT_TRUE(form->isMinimized());
    form->List1Click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
}

TEST_F(MainWindowTest, WithoutATrayTheWindowStaysReachable) {
    // The offscreen platform has no tray.
    auto form = Started();
    ASSERT_FALSE(form->trayAvailable());
    EXPECT_TRUE(form->isMinimized());
    EXPECT_TRUE(form->menuBar()->isVisible() || !form->menuBar()->isHidden());
    form->close();
    EXPECT_TRUE(form->isVisible());
    form->actSoundOff->trigger();
    WaitForWorkers();
    EXPECT_EQ(player.calls, QStringList{"stop"});
}

namespace {

int OpenEditors() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += qobject_cast<ReminderEditor*>(w) != nullptr &&
                     !static_cast<ReminderEditor*>(w)->isClosing()
                 ? 1
                 : 0;
    return n;
}

struct CommandsTest : MainWindowTest {
    std::unique_ptr<TForm1> form;
    std::int32_t tea = 0;
    void SetUp() override {
        MainWindowTest::SetUp();
        form = Started();
        Reminder e;
        e.isNew = true;
        e.message = "tea";
        tea = form->DataModule1.saveReminder(e, now).number;
        form->SaveCDS();
        form->DataModule1.listCursor().locateNumber(tea);
        form->actEditThingUpdate();
        form->showNormal();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override {
        form->CloseOtherWindows();
        form.reset();
        MainWindowTest::TearDown();
    }
    fs::file_time_type Written() const { return fs::last_write_time(dataFolder + "/things.mln"); }
};

} // namespace

TEST_F(CommandsTest, EnablingFollowsTheCurrentRow) {
    EXPECT_TRUE(form->actEditThing->isEnabled());
    EXPECT_TRUE(form->actDelThing->isEnabled());
    setNextAskYesNoAnswer(true);
    form->actDelThing->trigger();
    EXPECT_FALSE(form->actEditThing->isEnabled());
    EXPECT_FALSE(form->actCopyThing->isEnabled());
    EXPECT_FALSE(form->actDelThing->isEnabled());
    EXPECT_TRUE(form->actNew->isEnabled());
    EXPECT_TRUE(form->actNewThing->isEnabled());
}

TEST_F(CommandsTest, ListGuardStopsCommandsUnlessTheListShows) {
    form->PageControl1->setCurrentIndex(1);
    for (QAction* a : {form->actNew, form->actEditThing, form->actCopyThing, form->actDelThing})
        a->trigger();
    EXPECT_EQ(OpenEditors(), 0);
    EXPECT_EQ(form->DataModule1.table().count(), 1u);

    form->PageControl1->setCurrentIndex(0);
    form->hide();
    form->actNew->trigger();
    EXPECT_EQ(OpenEditors(), 0);
    form->actNewThing->trigger(); // "New..." of the tray menu works while hidden
    EXPECT_EQ(OpenEditors(), 1);
}

TEST_F(CommandsTest, DeleteAsksAndWritesTheFileOnlyOnYes) {
    const auto before = Written();
    setNextAskYesNoAnswer(false);
    form->actDelThing->trigger();
    EXPECT_EQ(form->DataModule1.table().count(), 1u);
    EXPECT_EQ(Written(), before);

    setNextAskYesNoAnswer(true);
    form->actDelThing->trigger();
    EXPECT_EQ(form->DataModule1.table().count(), 0u);
    ReminderRepository onDisk;
    ASSERT_TRUE(onDisk.load(dataFolder + "/things.mln").ok);
    EXPECT_EQ(onDisk.table().count(), 0u);
}

TEST_F(CommandsTest, EditOpensOneEditorPerReminderAndCopyANewOne) {
    form->actEditThing->trigger();
    form->actEditThing->trigger();
    EXPECT_EQ(OpenEditors(), 1);
    ASSERT_NE(ReminderEditor::find(tea), nullptr);
    form->actCopyThing->trigger();
    EXPECT_EQ(OpenEditors(), 2);
    EXPECT_EQ(form->DataModule1.table().count(), 1u); // a copy exists only once saved
}

TEST_F(CommandsTest, EditOnTheAlertOpensTheEditorAndClosesTheAlert) {
    AlertWindow* alert = AlertWindow::showAlert("tea", tea, now);
    ASSERT_NE(alert, nullptr);
    form->AlertEditClick(tea);
    EXPECT_NE(ReminderEditor::find(tea), nullptr);
    QTRY_VERIFY(AlertWindow::find(tea) == nullptr);

    // A reminder deleted meanwhile: the alert stays.
    AlertWindow* gone = AlertWindow::showAlert("gone", 999, now);
    form->AlertEditClick(999);
    EXPECT_EQ(AlertWindow::find(999), gone);
}

TEST_F(CommandsTest, ToolbarAndSettingsPageAnswerTheMouseAndSpace) {
    auto* bar = form->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar->widgetForAction(form->actNew), Qt::LeftButton);
    EXPECT_EQ(OpenEditors(), 1);
    QTest::mouseClick(bar->widgetForAction(form->actEditThing), Qt::LeftButton);
    EXPECT_EQ(OpenEditors(), 2);
    QTest::mouseClick(bar->widgetForAction(form->actCopyThing), Qt::LeftButton);
    EXPECT_EQ(OpenEditors(), 3);
    setNextAskYesNoAnswer(true);
    QTest::mouseClick(bar->widgetForAction(form->actDelThing), Qt::LeftButton);
    EXPECT_EQ(form->DataModule1.table().count(), 0u);

    form->PageControl1->setCurrentIndex(1);
    // On its box: the check box spans the page, its text does not.
    QTest::mouseClick(form->chbShowDay, Qt::LeftButton, {},
                      QPoint(6, form->chbShowDay->height() / 2));
    EXPECT_EQ(form->trayState(), TForm1::TrayState::Day);
    form->chbShowDay->setFocus();
    QTest::keyClick(form->chbShowDay, Qt::Key_Space);
    EXPECT_EQ(form->trayState(), TForm1::TrayState::Plain);
}

TEST_F(CommandsTest, TheListWorksOutNextTimesAsOfNowWhenTheTableChanges) {
    // Days without a scan (as while the table is empty), then a reminder is added.
    clock.set(now + std::chrono::hours(72));
    form->actNewThing->trigger();
    ReminderEditor* editor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* e = qobject_cast<ReminderEditor*>(w); e && !e->isClosing())
            editor = e;
    ASSERT_NE(editor, nullptr);
    editor->findChild<QCheckBox*>("showAlertCheck")->setChecked(true);
    editor->accept();
    ASSERT_EQ(form->DataModule1.table().count(), 2u);
    const auto* list = qobject_cast<const ThingsListModel*>(form->Panel2->Grid()->model());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Now(), now + std::chrono::hours(72));
}
