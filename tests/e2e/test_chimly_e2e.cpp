// The real program in a private desktop: a virtual display with a tray, its own home and
// runtime folders, and a PulseAudio null sink that stands for the speakers.
#include "core/ReminderRepository.h"
#include "tests/engine/ServiceProcesses.h"
#include "tests/engine/SizeLimitedFolder.h"
#include "tests/platform/WavFile.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TempHome.h"
#include "tests/support/ZoneScope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsvc::ChildProcess;
using testsvc::RunCommand;
using testsvc::WaitUntil;

namespace {

// The arguments that find a control by its window's title, its role and its accessible name.
std::vector<std::string> in(const std::string& window, const std::string& role,
                            const std::string& name) {
    return {"--window", window, "--role", role, "--name", name};
}

class ChimlyE2E : public ::testing::Test {
protected:
    static inline testsvc::VirtualDisplay display;
    static inline testsvc::WindowManager wm;
    static inline testsvc::PulseAudioServer pulse;
    static inline testsvc::AccessibilityBus a11y;

    // Why the shared services did not start; every test then fails with it (a failure in
    // SetUpTestSuite alone would only mark the tests skipped).
    static inline std::string suiteError;

    static void SetUpTestSuite() {
        const std::string a11yRuntime = MakeTempFolder("a11y");
        ::chmod(a11yRuntime.c_str(), 0700);
        std::string error;
        const bool up = display.start(&error) && wm.start(display.display(), &error) &&
                        a11y.start(a11yRuntime, display.display(), &error) &&
                        pulse.start(MakeTempFolder("pulse"), &error);
        suiteError = up ? "" : error;
        fs::create_directories(CHIMEWELL_ARTIFACTS_DIR);
    }
    static void TearDownTestSuite() {
        a11y.stop();
        pulse.stop();
        wm.stop();
        display.stop();
    }

    void SetUp() override {
        ASSERT_TRUE(suiteError.empty()) << suiteError;
        home = MakeTempFolder("home");
        for (const char* sub : {"/data", "/config", "/cache", "/runtime"})
            fs::create_directories(home + sub);
        ::chmod((home + "/runtime").c_str(), 0700);
        dataFolder = home + "/data/Chimewell";
        env = {{"HOME", home},
               {"XDG_DATA_HOME", home + "/data"},
               {"XDG_CONFIG_HOME", home + "/config"},
               {"XDG_CACHE_HOME", home + "/cache"},
               {"XDG_RUNTIME_DIR", home + "/runtime"},
               {"DISPLAY", display.display()},
               {"QT_QPA_PLATFORM", "xcb"},
               {"PULSE_SERVER", pulse.address()}};
        for (const auto& e : a11y.env())
            if (e.first != "DISPLAY")
                env.push_back(e);
    }

    // fakeClock: empty for the real clock, else where the program's clock starts and how
    // fast it runs ("@2026-12-09 07:50:00 x10"). libfaketime is preloaded into the program
    // itself, so that signals reach the program and not a wrapper.
    void Start(ChildProcess& p, const std::string& fakeClock = {}) {
        ChildProcess::Options options;
        options.env = env;
        if (!fakeClock.empty()) {
            options.env.emplace_back("LD_PRELOAD", FAKETIME_LIBRARY);
            options.env.emplace_back("FAKETIME", fakeClock);
        }
        std::string error;
        ASSERT_TRUE(p.start({CHIMLY_PATH}, options, &error)) << error;
    }

    // Starts the program with its clock at `startAt`, running at real speed; SetClock moves
    // it by rewriting libfaketime's timestamp file, which the program reads at every look
    // at the clock. `more`: further environment for the program.
    void StartWithSteppedClock(ChildProcess& p, const CalendarTime& startAt,
                               const testsvc::Env& more = {}) {
        clockFile = home + "/faketime";
        SetClock(startAt);
        ChildProcess::Options options;
        options.env = env;
        options.env.emplace_back("LD_PRELOAD", FAKETIME_LIBRARY);
        options.env.emplace_back("FAKETIME_TIMESTAMP_FILE", clockFile);
        options.env.emplace_back("FAKETIME_NO_CACHE", "1");
        options.env.insert(options.env.end(), more.begin(), more.end());
        std::string error;
        ASSERT_TRUE(p.start({CHIMLY_PATH}, options, &error)) << error;
    }
    // From now on the program's clock reads `at` (local time) and runs on from there.
    void SetClock(const CalendarTime& at) const {
        std::tm t{};
        t.tm_year = at.year - 1900;
        t.tm_mon = at.month - 1;
        t.tm_mday = at.day;
        t.tm_hour = at.hour;
        t.tm_min = at.minute;
        t.tm_sec = at.second;
        t.tm_isdst = -1;
        const auto target = std::chrono::system_clock::from_time_t(std::mktime(&t));
        const auto offset = std::chrono::duration_cast<std::chrono::seconds>(
            target - std::chrono::system_clock::now());
        const std::string next = clockFile + ".next";
        std::ofstream(next) << (offset.count() >= 0 ? "+" : "") << offset.count() << '\n';
        fs::rename(next, clockFile);
    }

    // Moves the program's clock on by `by` from where it runs now.
    void MoveClockBy(std::chrono::seconds by) const {
        long offset = 0;
        std::ifstream(clockFile) >> offset;
        const std::string next = clockFile + ".next";
        std::ofstream(next) << std::showpos << offset + by.count() << '\n';
        fs::rename(next, clockFile);
    }

    // Visible windows whose title matches the regular expression.
    std::string Windows(const std::string& title) const {
        return RunCommand({"xdotool", "search", "--onlyvisible", "--name", title},
                          {{"DISPLAY", display.display()}}, 10s)
            .value_or("");
    }
    bool WaitForWindow(const std::string& title) const {
        return WaitUntil([&] { return !Windows(title).empty(); }, 60s);
    }
    std::string FirstWindow(const std::string& title) const {
        const std::string ids = Windows(title);
        return ids.substr(0, ids.find('\n'));
    }
    void Xdo(std::vector<std::string> args) const {
        args.insert(args.begin(), "xdotool");
        RunCommand(args, {{"DISPLAY", display.display()}}, 20s);
    }
    void Keys(const std::string& window, std::vector<std::string> keys) const {
        std::vector<std::string> args{"windowactivate", "--sync", window, "key", "--delay", "60"};
        args.insert(args.end(), keys.begin(), keys.end());
        Xdo(args);
    }
    void Screenshot(const std::string& name) const {
        RunCommand({"import", "-window", "root", std::string(CHIMEWELL_ARTIFACTS_DIR) + "/" + name},
                   {{"DISPLAY", display.display()}}, 30s);
    }
    // The program's tray icon: its one small visible window on that display, or "".
    static std::string TrayIconWindow(const std::string& onDisplay) {
        const testsvc::Env env{{"DISPLAY", onDisplay}};
        const std::string ids =
            RunCommand({"xdotool", "search", "--onlyvisible", "--classname", "Chimly"}, env, 10s)
                .value_or("");
        std::istringstream lines(ids);
        for (std::string id; std::getline(lines, id);) {
            const std::string g =
                RunCommand({"xdotool", "getwindowgeometry", id}, env, 10s).value_or("");
            const auto at = g.find("Geometry: ");
            if (at != std::string::npos && std::stoi(g.substr(at + 10)) <= 64)
                return id;
        }
        return {};
    }
    // Double-clicks the program's tray icon, which opens the list.
    // Double-clicks the tray icon and waits for the list: its window, or empty (with a
    // failure recorded) when it did not open.
    std::string OpenList() const {
        std::string icon;
        WaitUntil([&] { return !(icon = TrayIconWindow(display.display())).empty(); }, 60s);
        if (icon.empty()) {
            ADD_FAILURE() << "no tray icon";
            return {};
        }
        Xdo({"mousemove", "--window", icon, "10", "10", "click", "--repeat", "2", "--delay", "80",
             "1"});
        if (!WaitForWindow("^Chimewell$")) {
            ADD_FAILURE() << "the list did not open";
            return {};
        }
        return FirstWindow("^Chimewell$");
    }

    void WriteThings(const std::vector<Reminder>& things) {
        fs::create_directories(dataFolder);
        ReminderRepository data;
        ASSERT_TRUE(data.load(dataFolder + "/things.mln").ok());
        for (const auto& t : things)
            ASSERT_TRUE(data.saveReminder(t, makeMoment(2026, 1, 1)).ok());
        ASSERT_TRUE(data.save(dataFolder + "/things.mln").ok());
    }

    std::string home, dataFolder, clockFile;
    testsvc::Env env;
};

Reminder Thing(const std::string& text) {
    Reminder e;
    e.isNew = true;
    e.message = text;
    e.showAlert = true;
    return e;
}

} // namespace

TEST_F(ChimlyE2E, FirstStartCreatesTheTableAndASecondStartEndsSilently) {
    ChildProcess first;
    Start(first);
    const std::string table = dataFolder + "/things.mln";
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(table); }, 60s));
    const auto written = fs::last_write_time(table);

    ChildProcess second;
    Start(second);
    EXPECT_EQ(second.wait(60s), std::optional<int>(0));
    EXPECT_TRUE(first.running());
    EXPECT_EQ(fs::last_write_time(table), written);
    EXPECT_TRUE(Windows("^Chimewell$").empty()) << "the second start showed a window";

    // Closing the list only hides it; the program stays in the tray.
    const std::string list = OpenList();
    ASSERT_FALSE(list.empty());
    Keys(list, {"alt+F4"});
    EXPECT_TRUE(WaitUntil([&] { return Windows("^Chimewell$").empty(); }, 60s));
    EXPECT_TRUE(first.running());
    EXPECT_FALSE(TrayIconWindow(display.display()).empty());
}

TEST_F(ChimlyE2E, WithoutARuntimeFolderTheLockLivesBesideTheSettings) {
    // Another user holds the shared temporary folder's names: its runtime folder and a
    // "Chimewell.lock" that is no lock of this program.
    const std::string shared = MakeTempFolder("shared-tmp");
    ::chmod(shared.c_str(), 01777);
    for (const char* name : {"/runtime-root", "/Chimewell.lock"}) {
        fs::create_directory(shared + name);
        ASSERT_EQ(::chown((shared + name).c_str(), 65534, 65534), 0);
    }
    env.emplace_back("XDG_RUNTIME_DIR", "");
    env.emplace_back("TMPDIR", shared);

    ChildProcess chimly;
    Start(chimly);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(dataFolder + "/things.mln"); }, 60s))
        << "the program did not start";
    EXPECT_TRUE(fs::is_regular_file(dataFolder + "/Chimewell.lock"));
    ChildProcess second;
    Start(second);
    EXPECT_EQ(second.wait(60s), std::optional<int>(0));
    EXPECT_TRUE(chimly.running());
}

TEST_F(ChimlyE2E, ALockThatCannotBeTakenIsSaidAndTheStartFails) {
    fs::create_directories(dataFolder + "/Chimewell.lock");
    env.emplace_back("XDG_RUNTIME_DIR", "");
    ChildProcess chimly;
    ChildProcess::Options options;
    options.env = env;
    const std::string stderrFile = home + "/stderr.txt";
    std::string error;
    ASSERT_TRUE(chimly.start({"sh", "-c", "exec \"$0\" 2>\"$1\"", CHIMLY_PATH, stderrFile}, options,
                             &error))
        << error;
    EXPECT_EQ(chimly.wait(60s), std::optional<int>(1));
    const std::string said = "Chimly: cannot take the lock " + dataFolder +
                             "/Chimewell.lock: it is not a lock of this program\n";
    EXPECT_NE(ReadAll(stderrFile).find(said), std::string::npos) << ReadAll(stderrFile);
    EXPECT_FALSE(fs::exists(dataFolder + "/things.mln"));
}

TEST_F(ChimlyE2E, DueReminderShowsItsAlertAndPlaysItsSound) {
    const std::string wav = home + "/bell.wav";
    // The layout many sound editors write, which the first player here did not play.
    WriteToneWav(wav, 1.5, 880, 0.5, {.bits = 24, .extensible = true});
    Reminder tea = Thing("tea time");
    tea.moment = makeMoment(2026, 12, 9, 8, 0);
    tea.playSound = true;
    tea.soundPath = wav;
    WriteThings({tea});

    testsvc::SinkRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.start(pulse, home + "/sink.raw", &error)) << error;
    ChildProcess chimly;
    Start(chimly, "@2026-12-09 07:59:54");
    ASSERT_TRUE(WaitForWindow("^tea time$")) << "no alert window";
    // It stays above the other windows: the window manager keeps it in its above layer.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return RunCommand({"xprop", "-id", FirstWindow("^tea time$"), "_NET_WM_STATE"},
                              {{"DISPLAY", display.display()}}, 10s)
                       .value_or("")
                       .find("_NET_WM_STATE_ABOVE") != std::string::npos;
        },
        60s))
        << "the alert window is not above the others";
    const bool heard = WaitUntil(
        [&] {
            int loud = 0;
            for (int peak : recorder.windowPeaks())
                loud += peak > 8000 ? 1 : 0;
            return loud >= 20; // 200 ms of the tone
        },
        60s);
    recorder.stop();
    EXPECT_TRUE(heard) << "the sound did not reach the sink";
    Screenshot("alert-window.png");

    // Esc acknowledges the alert once its buttons are armed, 1.2 s after it opened.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string alert = Windows("^tea time$");
            if (alert.empty())
                return true;
            RunCommand({"xdotool", "windowactivate", "--sync", alert.substr(0, alert.find('\n')),
                        "key", "Escape"},
                       {{"DISPLAY", display.display()}}, 10s);
            return false;
        },
        60s));
    EXPECT_FALSE(OpenList().empty());
    Screenshot("main-window.png");
}

// A screen reader finds the alert as an alert, named by its message and described by its due
// time as the window shows it, and reads it because the window takes the focus, on "Ok".
TEST_F(ChimlyE2E, TheAlertIsReadAsAnAlertWithItsDueTimeAndTakesTheFocus) {
    Reminder tea = Thing("tea time");
    tea.moment = makeMoment(2026, 12, 9, 8, 0);
    WriteThings({tea});
    env.emplace_back("LC_ALL", "de_DE.UTF-8");
    ChildProcess chimly;
    Start(chimly, "@2026-12-09 07:59:56");
    ASSERT_TRUE(WaitForWindow("^tea time$")) << "no alert window";
    const testsvc::Controls ui(ATSPI_CONTROL, a11y.env());
    EXPECT_EQ(ui.run({"--window", "^tea time$", "--about"}),
              std::optional<std::string>("alert\ntea time\n09.12.26 08:00\n"));
    std::vector<std::string> okStates = in("^tea time$", "push button", "Ok");
    okStates.push_back("--states");
    std::string states;
    EXPECT_TRUE(WaitUntil(
        [&] {
            states = ui.run(okStates).value_or("");
            return states.find("focused") != std::string::npos;
        },
        60s))
        << states;
    Screenshot("alert-for-screen-readers.png");
}

// A sound the player cannot read: at the due minute the click is heard instead (though the
// reminder does not ask for it) and the failure is logged.
TEST_F(ChimlyE2E, DueReminderWithAnUnplayableSoundPlaysTheClickAndLogsWhy) {
    const std::string broken = home + "/broken.wav";
    std::ofstream(broken) << "RIFF, and then no sound at all";
    Reminder bell = Thing("broken bell");
    bell.moment = makeMoment(2026, 12, 9, 8, 0);
    bell.playSound = true;
    bell.soundPath = broken;
    WriteThings({bell});

    testsvc::SinkRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.start(pulse, home + "/sink.raw", &error)) << error;
    ChildProcess chimly;
    ChildProcess::Options options;
    options.env = env;
    options.env.emplace_back("LD_PRELOAD", FAKETIME_LIBRARY);
    options.env.emplace_back("FAKETIME", "@2026-12-09 07:59:54");
    const std::string stderrFile = home + "/stderr.txt";
    // sh execs the program: the signal reaches it and not a wrapper.
    ASSERT_TRUE(chimly.start({"sh", "-c", "exec \"$0\" 2>\"$1\"", CHIMLY_PATH, stderrFile}, options,
                             &error))
        << error;
    ASSERT_TRUE(WaitForWindow("^broken bell$")) << "no alert window";
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::vector<int> peaks = recorder.windowPeaks();
            return std::any_of(peaks.begin(), peaks.end(), [](int peak) { return peak > 8000; });
        },
        60s))
        << "the click did not reach the sink";
    recorder.stop();
    const std::string logged = "Chimewell: could not play " + broken + ": ";
    EXPECT_TRUE(
        WaitUntil([&] { return ReadAll(stderrFile).find(logged) != std::string::npos; }, 60s))
        << ReadAll(stderrFile);
    ::kill(chimly.pid(), SIGTERM);
    EXPECT_EQ(chimly.wait(60s), std::optional<int>(0));
}

TEST_F(ChimlyE2E, TerminationSavesTheTableAndTheExitMoment) {
    // An alert in the first walk after start shows that the table was loaded.
    Reminder atStart = Thing("loaded");
    atStart.afterStart = true;
    atStart.minutesAfterStart = 0;
    Reminder other = Thing("other");
    other.kind = ScheduleKind::Monthly;
    other.monthDay = 15;
    WriteThings({atStart, other});
    const std::string table = dataFolder + "/things.mln";
    const auto inode = [&] {
        struct stat st {};
        ::stat(table.c_str(), &st);
        return st.st_ino;
    };
    const auto before = inode();

    ChildProcess chimly;
    Start(chimly);
    ASSERT_TRUE(WaitForWindow("^loaded$"));
    // With the list showing too: a window that only hides must not hold up the exit.
    ASSERT_FALSE(OpenList().empty());
    ::kill(chimly.pid(), SIGTERM);
    ASSERT_EQ(chimly.wait(60s), std::optional<int>(0));

    // Nothing was changed: the file is the same file, read whole again.
    EXPECT_EQ(inode(), before) << "the table was replaced at exit";
    ReminderRepository data;
    ASSERT_TRUE(data.load(table).ok());
    EXPECT_EQ(data.table().count(), 2u);
    const std::string ini = ReadAll(dataFolder + "/Chimly.ini");
    EXPECT_NE(ini.find("[Last]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("LastTime="), std::string::npos) << ini;
}

// At the end of a session with the data folder on a full disk, the program cannot write its
// files: it says so on standard error (and in the system log) without a window that would
// wait for someone, keeps the old files and ends, with the journal, an alert, the list and an
// editor open.
TEST_F(ChimlyE2E, TerminationWithAFullDiskKeepsTheOldFilesAndEnds) {
    std::string error;
    if (!testsvc::SizeLimitedFolder::namespacesPermitted(&error))
        GTEST_SKIP() << "no private mount namespace for a small file system: " << error;
    fs::create_directories(dataFolder);
    testsvc::SizeLimitedFolder small;
    ASSERT_TRUE(small.start(dataFolder, "600k", &error)) << error;
    Reminder atStart = Thing("loaded");
    atStart.afterStart = true;
    atStart.minutesAfterStart = 0;
    // Missed since the last run, in 2000: the journal opens at the start.
    Reminder missed = Thing("missed");
    missed.moment = makeMoment(2001, 1, 1, 12, 0);
    std::vector<Reminder> things{atStart, missed};
    for (int i = 0; i < 50; ++i)
        things.push_back(Thing("reminder " + std::to_string(i)));
    WriteThings(things);
    std::ofstream(small.path("Chimly.ini"))
        << "[Position]\nPosX=33\n[Last]\nLastTime=2000-01-01 00:00:00\n";

    ChildProcess chimly;
    ChildProcess::Options options;
    options.env = env;
    const std::string stderrFile = home + "/stderr.txt";
    // sh execs the program: the signal reaches it and not a wrapper.
    ASSERT_TRUE(chimly.start({"sh", "-c", "exec \"$0\" 2>\"$1\"", CHIMLY_PATH, stderrFile}, options,
                             &error))
        << error;
    ASSERT_TRUE(WaitForWindow("^loaded$"));
    ASSERT_TRUE(WaitForWindow("^Events that skipped from ")) << "no journal";
    const std::string list = OpenList();
    ASSERT_FALSE(list.empty());
    Keys(list, {"F2"});
    ASSERT_TRUE(WaitForWindow("^New$")) << "no editor";
    Screenshot("full-disk-exit.png");
    const std::string table = ReadAll(small.path("things.mln"));
    const std::string settings = ReadAll(small.path("Chimly.ini"));
    ASSERT_TRUE(small.fill(&error)) << error;
    ::kill(chimly.pid(), SIGTERM);
    ASSERT_EQ(chimly.wait(60s), std::optional<int>(0)) << "the program did not end";

    EXPECT_EQ(ReadAll(small.path("things.mln")), table);
    EXPECT_EQ(ReadAll(small.path("Chimly.ini")), settings);
    // The reminder file has no changes to write; the settings file cannot be written.
    const std::string said = ReadAll(stderrFile);
    EXPECT_EQ(said.find("things.mln"), std::string::npos) << said;
    EXPECT_NE(said.find("Chimewell: Unable to write to " + dataFolder + "/Chimly.ini: "),
              std::string::npos)
        << said;
}

// A list never opened in a run is never built: the placement read at start is written
// back as it was, however unlikely (off screen, smaller than the window can be).
TEST_F(ChimlyE2E, AListNeverOpenedLeavesItsPlacementAsItWas) {
    fs::create_directories(dataFolder);
    std::ofstream(dataFolder + "/Chimly.ini")
        << "[Position]\nState=2\nPosX=3000\nPosY=-40\nWidth=123\nHeight=77\n";
    ChildProcess chimly;
    Start(chimly);
    ASSERT_TRUE(WaitUntil([&] { return !TrayIconWindow(display.display()).empty(); }, 60s));
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(dataFolder + "/things.mln"); }, 60s));
    ::kill(chimly.pid(), SIGTERM);
    ASSERT_EQ(chimly.wait(60s), std::optional<int>(0));
    const std::string ini = ReadAll(dataFolder + "/Chimly.ini");
    for (const char* kept : {"PosX=3000", "PosY=-40", "Width=123", "Height=77"})
        EXPECT_NE(ini.find(kept), std::string::npos) << kept << " in\n" << ini;
    EXPECT_NE(ini.find("LastTime="), std::string::npos) << "the settings were not written";
}

// A new user's round: a reminder made with the keyboard and mouse a few minutes ahead
// fires, is postponed by a minute, comes back, is opened with "Edit...", changed and
// saved. The clock is stepped to just before the reminder's minute.
TEST_F(ChimlyE2E, CreatePostponeAndEditAReminder) {
    ChildProcess chimly;
    StartWithSteppedClock(chimly, {2026, 12, 9, 7, 50, 0, 0});
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(dataFolder + "/things.mln"); }, 60s));
    const std::string list = OpenList();
    ASSERT_FALSE(list.empty());

    // Controls are found by window title, role and accessible name.
    const testsvc::Controls ui(ATSPI_CONTROL, a11y.env());

    // F2 opens an editor for a new reminder, set to the current time.
    Keys(list, {"F2"});
    ASSERT_TRUE(WaitForWindow("^New$")) << "no editor";
    const std::string editor = FirstWindow("^New$");
    ASSERT_TRUE(ui.click(in("^New$", "text", "Message")));
    Xdo({"type", "--delay", "40", "tea"});
    ASSERT_TRUE(ui.click(in("^New$", "check box", "with click")));
    // Three minutes ahead, from the keyboard.
    Keys(editor, {"alt+shift+Up", "alt+shift+Up", "alt+shift+Up"});
    Screenshot("editor-new.png");
    ASSERT_TRUE(ui.click(in("^New$", "push button", "Ok")));
    ASSERT_TRUE(WaitUntil([&] { return Windows("^New$").empty(); }, 60s)) << "not saved";
    Screenshot("list-with-reminder.png");

    // Five seconds before the minute the reminder was saved for.
    {
        ReminderRepository saved;
        ASSERT_TRUE(saved.load(dataFolder + "/things.mln").ok());
        ASSERT_EQ(saved.table().count(), 1u);
        SetClock(calendarTime(saved.table().rowAt(0).moment(Col::Data) - 5s));
    }
    // A clock moved by the fake library cancels no timer: the program sees it at its next
    // minute, at most a minute later.
    ASSERT_TRUE(WaitUntil([&] { return !Windows("^tea$").empty(); }, 150s))
        << "the reminder did not fire";
    Screenshot("alert-first.png");
    // "1" postpones by a minute: the window goes and comes back.
    ASSERT_TRUE(ui.click(in("^tea$", "push button", "Move by 1 minutes")));
    ASSERT_TRUE(WaitUntil([&] { return Windows("^tea$").empty(); }, 60s)) << "not postponed";
    // The postponement counts the window's own one-second ticks: a real minute.
    ASSERT_TRUE(WaitUntil([&] { return !Windows("^tea$").empty(); }, 180s)) << "did not come back";
    // "Edit..." works once the buttons are armed again.
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (!Windows("^Edit ").empty())
                return true;
            ui.click(in("^tea$", "push button", "Edit..."));
            return false;
        },
        60s))
        << "no editor from the alert";
    EXPECT_TRUE(Windows("^tea$").empty()) << "the alert stayed";
    const std::string edit = FirstWindow("^Edit ");
    ASSERT_TRUE(ui.click(in("^Edit ", "text", "Message")));
    Xdo({"key", "ctrl+a"});
    Xdo({"type", "--delay", "40", "tea with milk"});
    EXPECT_EQ(ui.text(in("^Edit ", "text", "Message")), "tea with milk");
    Screenshot("editor-edit.png");
    ASSERT_TRUE(ui.click(in("^Edit ", "push button", "Ok")));
    ASSERT_TRUE(WaitUntil([&] { return Windows("^Edit ").empty(); }, 60s)) << "not saved";
    Screenshot("list-after-edit.png");

    // Cancel closes an editor and keeps nothing of it.
    Keys(list, {"F2"});
    ASSERT_TRUE(WaitForWindow("^New$")) << "no editor";
    ASSERT_TRUE(ui.click(in("^New$", "text", "Message")));
    Xdo({"type", "--delay", "40", "dropped"});
    ASSERT_TRUE(ui.click(in("^New$", "push button", "Cancel")));
    ASSERT_TRUE(WaitUntil([&] { return Windows("^New$").empty(); }, 60s)) << "not cancelled";

    ::kill(chimly.pid(), SIGTERM);
    ASSERT_EQ(chimly.wait(60s), std::optional<int>(0));
    ReminderRepository data;
    ASSERT_TRUE(data.load(dataFolder + "/things.mln").ok());
    ASSERT_EQ(data.table().count(), 1u);
    const ReminderRow& row = data.table().rowAt(0);
    EXPECT_EQ(row.text(Col::Comment), "tea with milk");
    EXPECT_EQ(row.integer(Col::N), 1);
    EXPECT_TRUE(row.flag(Col::WSound));
    EXPECT_TRUE(row.flag(Col::MessShow));
    EXPECT_EQ(row.integer(Col::DateOrDay), 0);
}

// A desktop whose tray appears only after the program started: until then the window
// stays reachable (shown minimized, with the tray menu's commands in it), and then the
// icon goes into the tray.
TEST_F(ChimlyE2E, IconGoesIntoATrayThatAppearsLater) {
    testsvc::VirtualDisplay bare;
    std::string error;
    ASSERT_TRUE(bare.start(&error)) << error;
    for (auto& [name, value] : env)
        if (name == "DISPLAY")
            value = bare.display();
    const testsvc::Env onBare{{"DISPLAY", bare.display()}};
    ChildProcess chimly;
    Start(chimly);
    // Without a window manager the minimized window is simply mapped on the screen.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return !RunCommand({"xdotool", "search", "--onlyvisible", "--name", "^Chimewell$"},
                               onBare, 10s)
                        .value_or("")
                        .empty();
        },
        60s))
        << "no window without a tray";

    EXPECT_TRUE(TrayIconWindow(bare.display()).empty());

    testsvc::WindowManager lateTray;
    ASSERT_TRUE(lateTray.start(bare.display(), &error)) << error;
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconWindow(bare.display()).empty(); }, 60s))
        << "the icon did not go into the tray";
    chimly.stop();
    lateTray.stop();
    bare.stop();
}

// The program runs across the night the clock skips from 02:00 to 03:00 in Berlin: a
// daily 02:30 reminder shows its alert once, at 03:00, and not again when the clock shows
// 03:30 (02:30 in winter time).
TEST_F(ChimlyE2E, APowerOffTheLoginManagerRefusesIsShownAndLogged) {
    // A login manager that refuses, as polkit does when another user is logged in.
    testsvc::PrivateBus bus;
    testsvc::LogindMock logind;
    std::string error;
    ASSERT_TRUE(bus.start(&error)) << error;
    ASSERT_TRUE(logind.start(bus.address(), home + "/logind.log", &error)) << error;
    ASSERT_TRUE(logind.isMock()) << "org.freedesktop.login1 on the test bus is not a mock";
    ASSERT_TRUE(RunCommand({"gdbus", "call", "--system", "--dest", "org.freedesktop.login1",
                            "--object-path", "/org/freedesktop/login1", "--method",
                            "org.freedesktop.DBus.Mock.AddMethod", "org.freedesktop.login1.Manager",
                            "PowerOff", "b", "",
                            "raise dbus.exceptions.DBusException('Interactive authentication "
                            "required.', name='org.freedesktop.DBus.Error."
                            "InteractiveAuthorizationRequired')"},
                           {{"DBUS_SYSTEM_BUS_ADDRESS", bus.address()}}, 30s));
    Reminder off = Thing("the day is over");
    off.moment = makeMoment(2026, 12, 9, 8, 0);
    off.showAlert = false;
    off.power = true;
    off.powerAction = PowerAction::PowerOff;
    WriteThings({off});

    // Standard error to a file, from the program itself (exec keeps its process).
    const std::string log = home + "/stderr.txt";
    ChildProcess::Options options;
    options.env = env;
    options.env.emplace_back("DBUS_SYSTEM_BUS_ADDRESS", bus.address());
    options.env.emplace_back("LD_PRELOAD", FAKETIME_LIBRARY);
    options.env.emplace_back("FAKETIME", "@2026-12-09 07:59:54");
    ChildProcess chimly;
    ASSERT_TRUE(
        chimly.start({"/bin/sh", "-c", "exec \"$0\" 2>\"$1\"", CHIMLY_PATH, log}, options, &error))
        << error;
    // The information window, titled with the program's name (the list stays hidden).
    ASSERT_TRUE(WaitForWindow("^Chimewell$")) << "the refusal was not shown";
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ReadAll(log).find("Chimewell: The computer could not be switched off: "
                                     "Interactive authentication required.") != std::string::npos;
        },
        60s))
        << ReadAll(log);
    EXPECT_NE(logind.calls().find("'PowerOff', [<false>]"), std::string::npos);
    Screenshot("power-refused.png");
    // Esc closes it; the program goes on.
    Keys(FirstWindow("^Chimewell$"), {"Escape"});
    EXPECT_TRUE(WaitUntil([&] { return Windows("^Chimewell$").empty(); }, 60s));
    EXPECT_TRUE(chimly.running());
}

TEST_F(ChimlyE2E, AReminderInTheSkippedHourShowsOnceAtThreeOClock) {
    auto daily = [](const std::string& text, int hour, int minute) {
        Reminder r = Thing(text);
        r.kind = ScheduleKind::Weekly;
        r.days.fill(true);
        r.moment = makeMoment(2026, 1, 1, hour, minute);
        return r;
    };
    // After the 03:30 scan has run, a reminder at 03:31 shows.
    WriteThings({daily("tea", 2, 30), daily("later", 3, 31)});
    // SetClock takes Berlin times too; a set clock leaves the monotonic clock alone.
    const ZoneScope berlin("Europe/Berlin");
    ChildProcess chimly;
    StartWithSteppedClock(chimly, {2026, 3, 29, 1, 58, 0, 0},
                          {{"TZ", "Europe/Berlin"}, {"FAKETIME_DONT_FAKE_MONOTONIC", "1"}});
    ASSERT_TRUE(WaitUntil([&] { return !TrayIconWindow(display.display()).empty(); }, 60s));
    // Running from 01:59:45 on, the program sees the clock skip from 02:00 to 03:00.
    SetClock({2026, 3, 29, 1, 59, 45, 0});
    ASSERT_TRUE(WaitUntil([&] { return !Windows("^tea$").empty(); }, 120s)) << "no alert";
    const testsvc::Controls ui(ATSPI_CONTROL, a11y.env());
    const std::string shown = ui.run({"--window", "^tea$", "--tree"}).value_or("");
    EXPECT_NE(shown.find("03:00"), std::string::npos) << shown;

    SetClock({2026, 3, 29, 3, 29, 50, 0});
    ASSERT_TRUE(WaitUntil([&] { return !Windows("^later$").empty(); }, 120s)) << "no 03:31";
    // One window for tea, never shown again ("re:" on a second alert).
    const std::string teaWindows = Windows("^tea$");
    EXPECT_EQ(std::count(teaWindows.begin(), teaWindows.end(), '\n'), 1) << teaWindows;
    const std::string after = ui.run({"--window", "^tea$", "--tree"}).value_or("");
    EXPECT_EQ(after.find("re:"), std::string::npos) << after;
    Screenshot("clock-change-alert.png");
}

// "LangPack" 1 in the settings file: the program speaks Russian from the start, in the
// main window and in the windows it opens, with the language file beside the executable.
TEST_F(ChimlyE2E, TheRussianLanguageChosenInTheSettingsFile) {
    fs::create_directories(dataFolder);
    std::ofstream(dataFolder + "/Chimly.ini") << "[Settings]\nLangPack=1\n";
    ChildProcess chimly;
    Start(chimly);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(dataFolder + "/things.mln"); }, 60s));
    const std::string list = OpenList();
    ASSERT_FALSE(list.empty());

    const testsvc::Controls ui(ATSPI_CONTROL, a11y.env());
    EXPECT_TRUE(ui.extents(in("^Chimewell$", "page tab", "Список")));
    // The click goes where the accessibility tree puts the tab, which can be off while the
    // window manager still places the new window: it is tried again until the page shows.
    EXPECT_TRUE(WaitUntil(
        [&] {
            ui.click(in("^Chimewell$", "page tab", "Настройки"));
            std::vector<std::string> radio = in("^Chimewell$", "radio button", "Русский");
            radio.insert(radio.end(), {"--extents", "--timeout", "3"});
            return ui.run(radio).has_value();
        },
        60s))
        << "the settings page did not show";
    EXPECT_TRUE(ui.extents(in("^Chimewell$", "check box", "Показывать число месяца в значке")));
    Screenshot("russian-settings.png");

    // An editor opened now is Russian too; its title names it.
    ASSERT_TRUE(ui.click(in("^Chimewell$", "page tab", "Список")));
    Keys(list, {"F2"});
    ASSERT_TRUE(ui.click(in("^Новое напоминание$", "push button", "Отмена")));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return !ui.run({"--window", "^Новое напоминание$", "--tree", "--timeout", "1"});
        },
        60s))
        << "the editor did not close";

    ::kill(chimly.pid(), SIGTERM);
    ASSERT_EQ(chimly.wait(60s), std::optional<int>(0));
    EXPECT_NE(ReadAll(dataFolder + "/Chimly.ini").find("LangPack=1"), std::string::npos);
}

// --- the journal of missed reminders --------------------------------------------

namespace {

Reminder Daily(const std::string& text, int hour, int minute) {
    Reminder r = Thing(text);
    r.kind = ScheduleKind::Weekly;
    r.days.fill(true);
    r.moment = makeMoment(2026, 1, 1, hour, minute);
    return r;
}

const char* const JournalTitle = "^Events that skipped from ";

} // namespace

// A run ends (SIGTERM) on Wednesday at 07:50; the next one starts at 13:00 and opens the
// journal with the reminders that fell due in between, in number order.
TEST_F(ChimlyE2E, TheNextRunListsWhatFellDueWhileItWasNotRunning) {
    Reminder dentist = Thing("dentist");
    dentist.moment = makeMoment(2026, 12, 9, 10, 15);
    WriteThings({Daily("tea", 9, 0), Daily("post", 12, 0), dentist, Daily("evening", 20, 0)});
    {
        ChildProcess first;
        StartWithSteppedClock(first, {2026, 12, 9, 7, 50, 0, 0});
        ASSERT_TRUE(WaitUntil([&] { return !TrayIconWindow(display.display()).empty(); }, 60s));
        EXPECT_TRUE(Windows(JournalTitle).empty()) << "a journal on a first start";
        ::kill(first.pid(), SIGTERM);
        ASSERT_EQ(first.wait(60s), std::optional<int>(0));
    }
    ChildProcess second;
    StartWithSteppedClock(second, {2026, 12, 9, 13, 0, 0, 0});
    ASSERT_TRUE(WaitForWindow(JournalTitle)) << "no journal";
    const testsvc::Controls ui(ATSPI_CONTROL, a11y.env());
    const auto labels = [&] {
        const std::string tree = ui.run({"--window", JournalTitle, "--tree"}).value_or("");
        std::vector<std::string> found;
        for (const char* message : {"tea", "post", "dentist", "evening"})
            if (tree.find("'" + std::string(message) + "'") != std::string::npos)
                found.push_back(message);
        return found;
    };
    EXPECT_EQ(labels(), (std::vector<std::string>{"tea", "post", "dentist"}));
    Screenshot("journal-after-start.png");

    // "Ok" on the first entry dismisses it.
    ASSERT_TRUE(ui.click({"--window", JournalTitle, "--role", "push button", "--name", "Ok"}));
    EXPECT_TRUE(WaitUntil([&] { return labels().size() == 2; }, 60s));
    EXPECT_EQ(labels(), (std::vector<std::string>{"post", "dentist"}));
}

// The program is killed (as by a power loss) after an alert at 08:00 and starts again at
// 13:00 in another locale: the journal lists exactly what fell due after that alert, and the
// alert itself, which was never answered.
TEST_F(ChimlyE2E, AfterAKillTheJournalListsWhatFellDueAfterTheLastAlert) {
    Reminder dentist = Thing("dentist");
    dentist.moment = makeMoment(2026, 12, 9, 8, 5);
    WriteThings({Daily("tea", 8, 0), Daily("post", 8, 2), dentist, Daily("evening", 20, 0)});
    const std::string ini = dataFolder + "/Chimly.ini";
    {
        ChildProcess first;
        StartWithSteppedClock(first, {2026, 12, 9, 7, 59, 50, 0}, {{"LC_ALL", "en_US.UTF-8"}});
        ASSERT_TRUE(WaitForWindow("^tea$")) << "no 08:00 alert";
        // The scan that alerted is the end of the run so far.
        EXPECT_TRUE(WaitUntil(
            [&] { return ReadAll(ini).find("LastTime=2026-12-09T08:00:0") != std::string::npos; },
            60s))
            << ReadAll(ini);
        ::kill(first.pid(), SIGKILL);
        first.wait(60s);
    }
    ChildProcess second;
    StartWithSteppedClock(second, {2026, 12, 9, 13, 0, 0, 0}, {{"LC_ALL", "de_DE.UTF-8"}});
    ASSERT_TRUE(WaitForWindow(JournalTitle)) << "no journal";
    // The caption shows the regional form of the new locale.
    EXPECT_NE(Windows("^Events that skipped from 09\\.12\\.2026 08:00:0"), "");
    const testsvc::Controls ui(ATSPI_CONTROL, a11y.env());
    const std::string tree = ui.run({"--window", JournalTitle, "--tree"}).value_or("");
    // The 08:00 alert, still open at the kill, is listed with them.
    for (const char* listed : {"tea", "post", "dentist"})
        EXPECT_NE(tree.find("'" + std::string(listed) + "'"), std::string::npos) << tree;
    EXPECT_EQ(tree.find("'evening'"), std::string::npos) << tree;
}

// The clock jumps forward two hours while the program runs (as after a sleep): what fell
// due in between is listed in the journal, and the reminder of the new minute alerts.
TEST_F(ChimlyE2E, AClockJumpForwardOpensTheJournalWithWhatWasSkipped) {
    Reminder atTen = Thing("at ten");
    atTen.moment = makeMoment(2026, 12, 9, 10, 0);
    WriteThings({Daily("breakfast", 8, 0), Daily("porridge", 8, 30), Daily("tea", 9, 0), atTen});
    ChildProcess chimly;
    StartWithSteppedClock(chimly, {2026, 12, 9, 7, 59, 50, 0},
                          {{"FAKETIME_DONT_FAKE_MONOTONIC", "1"}});
    // The 08:00 alert shows that the minute scans run.
    ASSERT_TRUE(WaitForWindow("^breakfast$")) << "no 08:00 alert";
    EXPECT_TRUE(Windows(JournalTitle).empty());
    // A jump of the fake clock cancels no timer: the program sees it at the minute it was
    // waiting for (08:01), which a jump of 1 h 59 min makes 10:00.
    MoveClockBy(1h + 59min);
    ASSERT_TRUE(WaitForWindow(JournalTitle)) << "no journal after the jump";
    EXPECT_TRUE(WaitForWindow("^at ten$")) << "the new minute did not alert";
    const testsvc::Controls ui(ATSPI_CONTROL, a11y.env());
    const std::string tree = ui.run({"--window", JournalTitle, "--tree"}).value_or("");
    EXPECT_NE(tree.find("'porridge'"), std::string::npos) << tree;
    EXPECT_NE(tree.find("'tea'"), std::string::npos) << tree;
    EXPECT_EQ(tree.find("'breakfast'"), std::string::npos) << tree;
    EXPECT_EQ(tree.find("'at ten'"), std::string::npos) << tree;
    // The alerts, always on top, go with Esc once armed, so that the picture shows the
    // journal.
    for (const char* alert : {"^breakfast$", "^at ten$"})
        EXPECT_TRUE(WaitUntil(
            [&] {
                if (Windows(alert).empty())
                    return true;
                Keys(FirstWindow(alert), {"Escape"});
                return false;
            },
            60s))
            << alert;
    Xdo({"windowactivate", "--sync", FirstWindow(JournalTitle)});
    Screenshot("journal-after-clock-jump.png");
}

// The program is killed with one alert open and one postponed. The next start lists both in
// the journal, once each, although "Show Missed after start" is off; an alert answered before
// the kill is not listed.
TEST_F(ChimlyE2E, AlertsOpenOrPostponedAtAKillAreListedOnceAtTheNextStart) {
    WriteThings({Daily("tea", 8, 0), Daily("walk", 8, 0), Daily("post", 8, 0)});
    std::ofstream(dataFolder + "/Chimly.ini") << "[Settings]\nMissed=0\n";
    const testsvc::Controls ui(ATSPI_CONTROL, a11y.env());
    const auto pendingRows = [&] {
        ReminderRepository data;
        return data.load(dataFolder + "/things.mln").ok()
                   ? data.sideRows(sideTableIndex(PendingAlertsTable)).size()
                   : std::size_t{0};
    };
    {
        ChildProcess first;
        StartWithSteppedClock(first, {2026, 12, 9, 7, 59, 50, 0});
        for (const char* alert : {"^tea$", "^walk$", "^post$"})
            ASSERT_TRUE(WaitForWindow(alert)) << alert;
        ASSERT_TRUE(ui.click(in("^walk$", "push button", "Move by 60 minutes")));
        ASSERT_TRUE(WaitUntil([&] { return Windows("^walk$").empty(); }, 60s)) << "not postponed";
        // "Ok" answers once the buttons are armed.
        ASSERT_TRUE(WaitUntil(
            [&] {
                if (Windows("^post$").empty())
                    return true;
                ui.click(in("^post$", "push button", "Ok"));
                return false;
            },
            60s));
        ASSERT_TRUE(WaitUntil([&] { return pendingRows() == 2; }, 60s)) << pendingRows();
        ::kill(first.pid(), SIGKILL);
        first.wait(60s);
    }
    ChildProcess second;
    StartWithSteppedClock(second, {2026, 12, 9, 13, 0, 0, 0});
    ASSERT_TRUE(WaitForWindow(JournalTitle)) << "no journal";
    const std::string tree = ui.run({"--window", JournalTitle, "--tree"}).value_or("");
    const auto times = [&](const std::string& message) {
        int n = 0;
        for (auto at = tree.find("'" + message + "'"); at != std::string::npos;
             at = tree.find("'" + message + "'", at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(times("tea"), 1) << tree;
    EXPECT_EQ(times("walk"), 1) << tree;
    EXPECT_EQ(times("post"), 0) << tree;
    Screenshot("journal-with-carried-alerts.png");
}

// The program holds a sleep off while it notes the time: before the sleep "LastTime" is the
// moment the sleep began, then the delay is let go; after the resume it is held again.
TEST_F(ChimlyE2E, BeforeASleepTheTimeIsNotedUnderADelayTakenAgainOnWaking) {
    testsvc::PrivateBus bus;
    testsvc::LogindMock logind;
    std::string error;
    ASSERT_TRUE(bus.start(&error)) << error;
    ASSERT_TRUE(logind.start(bus.address(), home + "/logind.log", &error)) << error;
    ASSERT_TRUE(logind.isMock()) << "org.freedesktop.login1 on the test bus is not a mock";
    const auto held = [&] {
        return logind.inhibitors().find(
                   "('sleep', 'Chimewell', 'Noting the time before sleep', 'delay'") !=
               std::string::npos;
    };
    ChildProcess chimly;
    StartWithSteppedClock(chimly, {2026, 12, 9, 9, 0, 0, 0},
                          {{"DBUS_SYSTEM_BUS_ADDRESS", bus.address()}});
    ASSERT_TRUE(WaitUntil(held, 60s)) << logind.inhibitors();
    const std::string ini = dataFolder + "/Chimly.ini";
    SetClock({2026, 12, 9, 9, 30, 0, 0});
    ASSERT_TRUE(logind.emitPrepareForSleep(true));
    EXPECT_TRUE(WaitUntil(
        [&] { return ReadAll(ini).find("LastTime=2026-12-09T09:30:0") != std::string::npos; }, 60s))
        << ReadAll(ini);
    EXPECT_TRUE(WaitUntil([&] { return !held(); }, 60s)) << logind.inhibitors();
    ASSERT_TRUE(logind.emitPrepareForSleep(false));
    EXPECT_TRUE(WaitUntil(held, 60s)) << logind.inhibitors();
    ::kill(chimly.pid(), SIGTERM);
    EXPECT_EQ(chimly.wait(60s), std::optional<int>(0));
}
