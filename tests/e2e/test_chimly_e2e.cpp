// The real program in a private desktop: a virtual display with a tray, its own home and
// runtime folders, and a PulseAudio null sink that stands for the speakers.
#include "ServiceProcesses.h"
#include "TempHome.h"
#include "WavFile.h"
#include "uDataModule.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsvc::ChildProcess;
using testsvc::RunCommand;
using testsvc::WaitUntil;

namespace {

class ChimlyE2E : public ::testing::Test {
protected:
    static inline testsvc::VirtualDisplay display;
    static inline testsvc::WindowManager wm;
    static inline testsvc::PulseAudioServer pulse;

    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(display.start(&error)) << error;
        ASSERT_TRUE(wm.start(display.display(), &error)) << error;
        ASSERT_TRUE(pulse.start(MakeTempFolder("pulse"), &error)) << error;
        fs::create_directories(CHIMEWELL_ARTIFACTS_DIR);
    }
    static void TearDownTestSuite() {
        pulse.stop();
        wm.stop();
        display.stop();
    }

    void SetUp() override {
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
    }

    std::vector<std::string> Command(const std::string& fakeStart = {}) const {
        if (fakeStart.empty())
            return {CHIMLY_PATH};
        return {"faketime", fakeStart, CHIMLY_PATH};
    }

    void Start(ChildProcess& p, const std::string& fakeStart = {}) {
        ChildProcess::Options options;
        options.env = env;
        std::string error;
        ASSERT_TRUE(p.start(Command(fakeStart), options, &error)) << error;
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
    void Screenshot(const std::string& name) const {
        RunCommand({"import", "-window", "root", std::string(CHIMEWELL_ARTIFACTS_DIR) + "/" + name},
                   {{"DISPLAY", display.display()}}, 30s);
    }
    // Double-clicks the program's tray icon, which opens the list.
    void OpenListFromTray() const {
        const std::string icons = RunCommand({"xdotool", "search", "--onlyvisible", "--classname",
                                              "Chimly"},
                                             {{"DISPLAY", display.display()}}, 10s)
                                      .value_or("");
        // The tray icon is the program's one small window.
        std::string icon;
        std::istringstream ids(icons);
        for (std::string id; icon.empty() && std::getline(ids, id);) {
            const std::string geometry =
                RunCommand({"xdotool", "getwindowgeometry", id}, {{"DISPLAY", display.display()}},
                           10s)
                    .value_or("");
            const auto at = geometry.find("Geometry: ");
            if (at != std::string::npos && std::stoi(geometry.substr(at + 10)) <= 64)
                icon = id;
        }
        ASSERT_FALSE(icon.empty()) << "no tray icon among " << icons;
        RunCommand({"xdotool", "mousemove", "--window", icon, "10", "10", "click", "--repeat", "2",
                    "--delay", "80", "1"},
                   {{"DISPLAY", display.display()}}, 10s);
    }

    void WriteThings(const std::vector<eventParams>& things) {
        fs::create_directories(dataFolder);
        TDataModule1 data;
        ASSERT_TRUE(data.LoadThings(dataFolder + "/things.mln"));
        for (const auto& t : things)
            ASSERT_TRUE(data.SaveThing(t, EncodeMoment(2026, 1, 1)).isSaved);
        ASSERT_TRUE(data.SaveThings(dataFolder + "/things.mln"));
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string home, dataFolder;
    testsvc::Env env;
};

eventParams Thing(const std::string& text) {
    eventParams e;
    e.isNewThing = true;
    e.Comment = text;
    e.MessageShow = true;
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
}

TEST_F(ChimlyE2E, DueReminderShowsItsAlertAndPlaysItsSound) {
    const std::string wav = home + "/bell.wav";
    WriteToneWav(wav, 1.5, 880, 0.5);
    eventParams tea = Thing("tea time");
    tea.D = EncodeMoment(2026, 12, 9, 8, 0);
    tea.Sound = true;
    tea.SPath = wav;
    WriteThings({tea});

    testsvc::SinkRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.start(pulse, home + "/sink.raw", &error)) << error;
    ChildProcess chimly;
    Start(chimly, "2026-12-09 07:59:54");
    ASSERT_TRUE(WaitForWindow("^tea time$")) << "no alert window";
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
    OpenListFromTray();
    EXPECT_TRUE(WaitForWindow("^Chimewell$")) << "the list did not open";
    Screenshot("main-window.png");
}

TEST_F(ChimlyE2E, TerminationSavesTheTableAndTheExitMoment) {
    // An alert in the first walk after start shows that the table was loaded.
    eventParams atStart = Thing("loaded");
    atStart.AfterStart = true;
    atStart.MinutesAfterStart = 0;
    eventParams other = Thing("other");
    other.DateOrDay = 2;
    other.everyMonthDay = 15;
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
    ::kill(chimly.pid(), SIGTERM);
    ASSERT_EQ(chimly.wait(60s), std::optional<int>(0));

    EXPECT_NE(inode(), before) << "the table was not written at exit";
    TDataModule1 data;
    ASSERT_TRUE(data.LoadThings(table));
    EXPECT_EQ(data.table.Count(), 2u);
    const std::string ini = ReadFile(dataFolder + "/Chimly.ini");
    EXPECT_NE(ini.find("[Last]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("LastTime="), std::string::npos) << ini;
}
