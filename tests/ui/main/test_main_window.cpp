#include "ActionWorker.h"
#include "DialogSeams.h"
#include "FakePowerService.h"
#include "FakeSoundPlayer.h"
#include "TempHome.h"
#include "TrayImages.h"
#include "UMess.h"
#include "UNote.h"
#include "Unit1.h"
#include "uExecProgThread.h"

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
    TDateTime now = EncodeMoment(2026, 12, 9, 10, 0, 0);
    FakeSoundPlayer player;
    FakePowerService power;
    std::vector<std::string> messages;
    std::string programFolder = MakeTempFolder("program");
    std::string dataFolder = std::string(std::getenv("XDG_DATA_HOME")) + "/Chimewell";

    void SetUp() override {
        fs::remove_all(dataFolder);
        SetMessageSink([this](const std::string& m) { messages.push_back(m); });
        fs::create_directories(programFolder + "/sounds");
        std::ofstream(programFolder + "/sounds/click.wav") << "RIFF";
        SetExecutablePath(programFolder + "/Chimly");
    }
    void TearDown() override {
        SetMessageSink(nullptr);
        SetExecutablePath("");
    }
    std::unique_ptr<TForm1> Started() {
        auto form = std::make_unique<TForm1>([this] { return now; });
        form->TimerStartTimer();
        return form;
    }
    static void WaitForWorkers() {
        QTRY_COMPARE_WITH_TIMEOUT(PendingActionWorkers(), 0, 20000);
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
    form->MinuteTickDayStep(EncodeMoment(2026, 12, 10, 0, 0, 1));
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
        std::function<void(eventParams&)> set;
        QStringList played;
        std::vector<std::string> power;
        bool flashing;
    } cases[] = {
        {"own sound beats the click",
         [&](eventParams& e) { e.Sound = e.WithSound = true, e.SPath = sound; },
         {"play " + QString::fromStdString(sound)},
         {},
         false},
        {"missing sound falls back to the click",
         [&](eventParams& e) { e.Sound = e.WithSound = true, e.SPath = sound + ".gone"; },
         {"play " + click},
         {},
         false},
        {"animation only", [](eventParams& e) { e.Anim = true; }, {}, {}, true},
        {"power-off replaces everything",
         [&](eventParams& e) {
             e.Special = e.Shutdown = e.Anim = e.Sound = e.MessageShow = true, e.SPath = sound;
         },
         {},
         {"powerOff"},
         false},
        {"reboot", [](eventParams& e) { e.Special = true; }, {}, {"reboot"}, false},
        {"after-start power action with 0 minutes does nothing",
         [](eventParams& e) { e.Special = e.AfterStart = true, e.MinutesAfterStart = 0; },
         {},
         {},
         false},
        {"number 0 is nothing to present",
         [&](eventParams& e) { e.N = 0, e.Sound = true, e.SPath = sound; },
         {},
         {},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto form = Started();
        player.calls.clear();
        power.calls.clear();
        eventParams e;
        e.N = 3;
        e.Comment = "tea";
        c.set(e);
        form->engine()->CurrentEvent = e;
        form->ShowCurrentNote();
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
        eventParams e;
        e.isNewThing = true;
        e.Comment = "tea";
        tea = form->DataModule1.SaveThing(e, now).NumThing;
        form->SaveCDS();
        form->DataModule1.cdsThings.LocateN(tea);
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
    EXPECT_EQ(form->DataModule1.table.Count(), 1u);

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
    EXPECT_EQ(form->DataModule1.table.Count(), 1u);
    EXPECT_EQ(Written(), before);

    SetNextAskYesNoAnswer(true);
    form->actDelThing->trigger();
    EXPECT_EQ(form->DataModule1.table.Count(), 0u);
    TDataModule1 onDisk;
    ASSERT_TRUE(onDisk.LoadThings(dataFolder + "/things.mln"));
    EXPECT_EQ(onDisk.table.Count(), 0u);
}

TEST_F(CommandsTest, EditOpensOneEditorPerReminderAndCopyANewOne) {
    form->actEditThing->trigger();
    form->actEditThing->trigger();
    EXPECT_EQ(OpenEditors(), 1);
    ASSERT_NE(FindEditorForm(tea), nullptr);
    form->actCopyThing->trigger();
    EXPECT_EQ(OpenEditors(), 2);
    EXPECT_EQ(form->DataModule1.table.Count(), 1u); // a copy exists only once saved
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
