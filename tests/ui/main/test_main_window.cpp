#include "core/AppPaths.h"
#include "engine/AsyncTask.h"
#include "tests/platform/FakePowerControl.h"
#include "tests/platform/FakeSoundPlayer.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempHome.h"
#include "ui/alert/UMess.h"
#include "ui/dialogs/DialogSeams.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/editor/UNote.h"
#include "ui/main/TrayImages.h"
#include "ui/main/Unit1.h"

#include <QCheckBox>
#include <QFile>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

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
        form->SaveCDS();
    } // destruction saves too
    std::ifstream in(dataFolder + "/things.mln");
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "this is not a table");
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
        n += qobject_cast<TfNote*>(w) != nullptr && !static_cast<TfNote*>(w)->Closing() ? 1 : 0;
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
    SetNextAskYesNoAnswer(true);
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
    SetNextAskYesNoAnswer(false);
    form->actDelThing->trigger();
    EXPECT_EQ(form->DataModule1.table().count(), 1u);
    EXPECT_EQ(Written(), before);

    SetNextAskYesNoAnswer(true);
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
    ASSERT_NE(FindEditorForm(tea), nullptr);
    form->actCopyThing->trigger();
    EXPECT_EQ(OpenEditors(), 2);
    EXPECT_EQ(form->DataModule1.table().count(), 1u); // a copy exists only once saved
}

TEST_F(CommandsTest, EditOnTheAlertOpensTheEditorAndClosesTheAlert) {
    TFMess* alert = ShowAlertWindow("tea", tea, now);
    ASSERT_NE(alert, nullptr);
    form->AlertEditClick(tea);
    EXPECT_NE(FindEditorForm(tea), nullptr);
    QTRY_VERIFY(FindAlertForm(tea) == nullptr);

    // A reminder deleted meanwhile: the alert stays.
    TFMess* gone = ShowAlertWindow("gone", 999, now);
    form->AlertEditClick(999);
    EXPECT_EQ(FindAlertForm(999), gone);
}
