// The installed program: `cmake --install` of this build into a temporary DESTDIR, then the
// program started through its link in bin/, under a private display with a tray and a null
// audio sink, finds its own files in share/chimewell and matches its desktop entry.
#include "core/ReminderRepository.h"
#include "tests/engine/ServiceProcesses.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsvc::ChildProcess;
using testsvc::RunCommand;
using testsvc::WaitUntil;

namespace {

constexpr const char* Prefix = "/usr";
constexpr const char* AppId = "org.chimewell.Chimewell";

// Files below folder, as paths relative to it.
std::set<std::string> FilesBelow(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (!entry.is_directory())
            files.insert(fs::relative(entry.path(), folder).string());
    return files;
}

// Width and height from a PNG's header chunk.
std::pair<std::uint32_t, std::uint32_t> PngSize(const fs::path& png) {
    std::ifstream in(png, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    const auto be32 = [&](int at) {
        return std::uint32_t(header[at]) << 24 | std::uint32_t(header[at + 1]) << 16 |
               std::uint32_t(header[at + 2]) << 8 | std::uint32_t(header[at + 3]);
    };
    return {be32(16), be32(20)};
}

// The value of key in a desktop entry's main group, or nothing.
std::optional<std::string> EntryValue(const fs::path& entry, const std::string& key) {
    std::ifstream in(entry);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return std::nullopt;
}

// The command ran and succeeded; its complaints go to the test's standard error.
bool Succeeds(const std::vector<std::string>& argv) {
    return RunCommand(argv, {}, 60s, false).has_value();
}

class InstallE2E : public ::testing::Test {
protected:
    static inline std::string root; // the DESTDIR
    static inline testsvc::VirtualDisplay display;
    static inline testsvc::WindowManager wm;
    static inline testsvc::PulseAudioServer pulse;
    static inline std::string suiteError;

    static void SetUpTestSuite() {
        root = MakeTempFolder("destdir");
        const auto installed =
            RunCommand({CMAKE_COMMAND, "--install", CHIMEWELL_BINARY_DIR, "--prefix", Prefix},
                       {{"DESTDIR", root}}, 120s, false);
        std::string error = installed ? "" : "cmake --install failed";
        if (error.empty() && !(display.start(&error) && wm.start(display.display(), &error) &&
                               pulse.start(MakeTempFolder("pulse"), &error)))
            error = "services: " + error;
        suiteError = error;
    }
    static void TearDownTestSuite() {
        pulse.stop();
        wm.stop();
        display.stop();
    }
    void SetUp() override { ASSERT_TRUE(suiteError.empty()) << suiteError; }

    static fs::path Installed(const std::string& path) { return fs::path(root + Prefix) / path; }
};

} // namespace

TEST_F(InstallE2E, TheTreeHoldsTheProgramFolderTheLinkAndTheDesktopFiles) {
    // The program folder holds the executable; share/chimewell the files the build's program
    // folder holds beside it, no more and no less.
    const fs::path folder = Installed("lib/chimewell");
    EXPECT_EQ(FilesBelow(folder), std::set<std::string>{"Chimly"});
    std::set<std::string> own = FilesBelow(CHIMEWELL_PROGRAM_DIR);
    own.erase("Chimly");
    const fs::path shared = Installed("share/chimewell");
    EXPECT_EQ(FilesBelow(shared), own);
    for (const char* file : {"sounds/click.wav", "Chimly_en.lng", "Chimly_ru.lng", "Help.htm"})
        EXPECT_TRUE(fs::exists(shared / file)) << file;
    const auto perms = fs::status(folder / "Chimly").permissions();
    EXPECT_NE(perms & fs::perms::others_exec, fs::perms::none);

    const fs::path link = Installed("bin/chimly");
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), fs::path("../lib/chimewell/Chimly")) << "not relative";
    EXPECT_TRUE(fs::equivalent(link, folder / "Chimly"));

    const fs::path entry = Installed(std::string("share/applications/") + AppId + ".desktop");
    const fs::path metainfo = Installed(std::string("share/metainfo/") + AppId + ".metainfo.xml");
    EXPECT_TRUE(Succeeds({"desktop-file-validate", entry.string()}));
    EXPECT_EQ(EntryValue(entry, "Icon"), std::optional<std::string>(AppId));
    EXPECT_EQ(EntryValue(entry, "GenericName[ru]"), std::optional<std::string>("Напоминания"));
    EXPECT_TRUE(Succeeds({"appstreamcli", "validate", "--no-net", metainfo.string()}));

    const fs::path icons = Installed("share/icons/hicolor");
    EXPECT_TRUE(fs::exists(icons / "scalable/apps" / (std::string(AppId) + ".svg")));
    for (std::uint32_t size : {16u, 22u, 24u, 32u, 48u, 64u, 128u, 256u}) {
        const std::string dir = std::to_string(size) + "x" + std::to_string(size);
        const fs::path png = icons / dir / "apps" / (std::string(AppId) + ".png");
        ASSERT_TRUE(fs::exists(png)) << png;
        EXPECT_EQ(PngSize(png), std::make_pair(size, size)) << png;
    }
    EXPECT_TRUE(fs::exists(Installed("share/man/man1/chimly.1.gz")));

    // The bus starts the installed command for a call; the desktop offers the commands.
    EXPECT_EQ(EntryValue(Installed(std::string("share/dbus-1/services/") + AppId + ".service"),
                         "Exec"),
              std::optional<std::string>(std::string(Prefix) + "/bin/chimly"));
    EXPECT_EQ(EntryValue(entry, "Actions"),
              std::optional<std::string>("new-reminder;open-list;journal;sound-off;quit;"));
    EXPECT_TRUE(fs::exists(Installed("share/bash-completion/completions/chimly")));
}

// A reminder due at start with the click: the click comes from share/chimewell/sounds/click.wav,
// which the program finds only when it resolves its own folder through the link. Its window's
// WM_CLASS names the desktop entry's StartupWMClass, so that the desktop shows the entry's icon.
TEST_F(InstallE2E, TheProgramStartedThroughTheLinkFindsItsFilesAndItsDesktopEntry) {
    const std::string home = MakeTempFolder("home");
    for (const char* sub : {"/data", "/config", "/cache", "/runtime"})
        fs::create_directories(home + sub);
    fs::permissions(home + "/runtime", fs::perms::owner_all);
    const std::string dataFolder = home + "/data/Chimewell";
    fs::create_directories(dataFolder);
    {
        Reminder atStart;
        atStart.isNew = true;
        atStart.message = "installed";
        atStart.showAlert = true;
        atStart.click = true;
        atStart.afterStart = true;
        atStart.minutesAfterStart = 0;
        ReminderRepository data;
        ASSERT_TRUE(data.load(dataFolder + "/things.mln").ok());
        ASSERT_TRUE(data.saveReminder(atStart, makeMoment(2026, 1, 1)).ok());
        ASSERT_TRUE(data.save(dataFolder + "/things.mln").ok());
    }

    testsvc::SinkRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.start(pulse, home + "/sink.raw", &error)) << error;
    ChildProcess::Options options;
    options.env = {{"HOME", home},
                   {"XDG_DATA_HOME", home + "/data"},
                   {"XDG_CONFIG_HOME", home + "/config"},
                   {"XDG_CACHE_HOME", home + "/cache"},
                   {"XDG_RUNTIME_DIR", home + "/runtime"},
                   {"DISPLAY", display.display()},
                   {"QT_QPA_PLATFORM", "xcb"},
                   {"PULSE_SERVER", pulse.address()}};
    ChildProcess chimly;
    ASSERT_TRUE(chimly.start({Installed("bin/chimly").string()}, options, &error)) << error;

    const testsvc::Env onDisplay{{"DISPLAY", display.display()}};
    std::string alert;
    EXPECT_TRUE(WaitUntil(
        [&] {
            alert = RunCommand({"xdotool", "search", "--onlyvisible", "--name", "^installed$"},
                               onDisplay, 10s)
                        .value_or("");
            return !alert.empty();
        },
        60s))
        << "no alert window";
    const std::optional<std::string> wmClassName = EntryValue(
        Installed(std::string("share/applications/") + AppId + ".desktop"), "StartupWMClass");
    ASSERT_TRUE(wmClassName.has_value());
    const std::string wmClass =
        RunCommand({"xprop", "-id", alert.substr(0, alert.find('\n')), "WM_CLASS"}, onDisplay, 10s)
            .value_or("");
    // WM_CLASS(STRING) = "instance", "class"
    EXPECT_NE(wmClass.find(", \"" + *wmClassName + "\"\n"), std::string::npos) << wmClass;
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (int peak : recorder.windowPeaks())
                if (peak > 8000)
                    return true;
            return false;
        },
        60s))
        << "the click from the program folder did not reach the sink";
    recorder.stop();

    ::kill(chimly.pid(), SIGTERM);
    ASSERT_EQ(chimly.wait(60s), std::optional<int>(0));
    // The settings are named after the executable the link leads to, not after the link.
    EXPECT_TRUE(fs::exists(dataFolder + "/Chimly.ini"));
    EXPECT_FALSE(fs::exists(dataFolder + "/chimly.ini"));
}
