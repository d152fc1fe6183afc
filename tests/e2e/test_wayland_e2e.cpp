// The real program in a Wayland session: a headless weston with XWayland stands for the
// user's compositor. With XWayland there, the program must run through it (an X client),
// where its alert window can stay on top; without it, it must run as a native Wayland client,
// and a desktop notification goes with each alert window.
#include "core/ReminderRepository.h"
#include "tests/engine/ServiceProcesses.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsvc::ChildProcess;
using testsvc::RunCommand;
using testsvc::WaitUntil;

namespace {

// Headless weston with its XWayland module. Weston picks a free X display number itself
// and says which in its log; it starts Xwayland when the first X client connects.
class Weston final {
public:
    bool start(const std::string& runtimeDir, std::string* error) {
        return testsvc::StartWithRetry(
            [&](std::string* reason) { return startOnce(runtimeDir, reason); }, error);
    }
    const std::string& socket() const { return socket_; }
    // The X display of its XWayland.
    const std::string& display() const { return display_; }
    void stop() { process_.stop(); }

private:
    bool startOnce(const std::string& runtimeDir, std::string* error) {
        const std::string log = runtimeDir + "/weston.log";
        // What an attempt before this one left would stop this one.
        std::error_code ignored;
        fs::remove(runtimeDir + "/" + socket_, ignored);
        fs::remove(runtimeDir + "/" + socket_ + ".lock", ignored);
        fs::remove(log, ignored);
        display_.clear();
        ChildProcess::Options options;
        options.env = {{"XDG_RUNTIME_DIR", runtimeDir}};
        if (!process_.start({"weston", "--backend=headless-backend.so", "--use-pixman",
                             "--xwayland", "--socket=" + socket_, "--idle-time=0", "--no-config",
                             "--log=" + log},
                            options, error))
            return false;
        const std::regex listening("xserver listening on display (:[0-9]+)");
        const bool up = WaitUntil(
            [&] {
                if (!process_.running())
                    return true;
                std::ifstream in(log);
                const std::string text{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
                std::smatch m;
                if (!fs::exists(runtimeDir + "/" + socket_) ||
                    !std::regex_search(text, m, listening))
                    return false;
                display_ = m[1];
                return true;
            },
            testsvc::kReadyTimeout);
        if (!up || !process_.running() || display_.empty()) {
            *error = "weston did not come up with XWayland (see " + log + ")";
            process_.stop();
            return false;
        }
        return true;
    }

    ChildProcess process_;
    std::string socket_ = "chimly-wayland";
    std::string display_;
};

class WaylandSession : public ::testing::Test {
protected:
    static inline Weston weston;
    static inline testsvc::AccessibilityBus a11y;
    static inline std::string runtimeDir;
    static inline std::string suiteError;

    static void SetUpTestSuite() {
        // Whatever session the tests were started from stays out of the program's sight.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE",
                                 "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"})
            ::unsetenv(name);
        runtimeDir = MakeTempFolder("wayland-runtime");
        ::chmod(runtimeDir.c_str(), 0700);
        std::string error;
        const bool up =
            weston.start(runtimeDir, &error) && a11y.start(runtimeDir, weston.display(), &error);
        suiteError = up ? "" : error;
    }
    static void TearDownTestSuite() {
        a11y.stop();
        weston.stop();
    }

    void SetUp() override {
        ASSERT_TRUE(suiteError.empty()) << suiteError;
        home = MakeTempFolder("home");
        for (const char* sub : {"/data", "/config", "/cache"})
            fs::create_directories(home + sub);
        // The session's own variables, as a Wayland desktop sets them; the program shares
        // the compositor's runtime folder, where its socket is.
        env = {{"HOME", home},
               {"XDG_DATA_HOME", home + "/data"},
               {"XDG_CONFIG_HOME", home + "/config"},
               {"XDG_CACHE_HOME", home + "/cache"},
               {"XDG_RUNTIME_DIR", runtimeDir},
               {"XDG_SESSION_TYPE", "wayland"},
               {"WAYLAND_DISPLAY", weston.socket()}};
        for (const auto& e : a11y.env())
            if (e.first != "DISPLAY")
                env.push_back(e);
        // A reminder due right after start opens its alert window.
        Reminder r;
        r.isNew = true;
        r.message = "stretch";
        r.showAlert = true;
        r.afterStart = true;
        r.minutesAfterStart = 0;
        const std::string folder = home + "/data/Chimewell";
        fs::create_directories(folder);
        ReminderRepository data;
        ASSERT_TRUE(data.load(folder + "/things.mln").ok());
        ASSERT_TRUE(data.saveReminder(r, makeMoment(2026, 1, 1)).ok());
        ASSERT_TRUE(data.save(folder + "/things.mln").ok());
    }

    void Start(ChildProcess& p) {
        ChildProcess::Options options;
        options.env = env;
        options.quiet = false;
        std::string error;
        ASSERT_TRUE(p.start({CHIMLY_PATH}, options, &error)) << error;
    }

    // Windows titled title on weston's X display.
    static std::string XWindows(const std::string& title) {
        return RunCommand({"xdotool", "search", "--onlyvisible", "--name", title},
                          {{"DISPLAY", weston.display()}}, 10s)
            .value_or("");
    }

    std::string home;
    testsvc::Env env;
};

TEST_F(WaylandSession, RunsThroughXWaylandWhenTheSessionHasIt) {
    env.emplace_back("DISPLAY", weston.display());
    ChildProcess chimly;
    Start(chimly);
    std::string alert;
    EXPECT_TRUE(WaitUntil([&] { return !(alert = XWindows("^stretch$")).empty(); }, 60s))
        << "the alert window is not an X window on XWayland";
    ASSERT_TRUE(chimly.running());
    const std::string id = alert.substr(0, alert.find('\n'));
    const std::string wmClass =
        RunCommand({"xprop", "-id", id, "WM_CLASS"}, {{"DISPLAY", weston.display()}}, 10s)
            .value_or("");
    EXPECT_NE(wmClass.find("\"Chimly\""), std::string::npos) << wmClass;
}

TEST_F(WaylandSession, RunsNativelyWithoutXWayland) {
    ChildProcess chimly;
    Start(chimly);
    // No X display to look at: the window is found in the accessibility tree.
    const testsvc::Controls controls(ATSPI_CONTROL, a11y.env());
    EXPECT_EQ(controls.text({"--window", "^stretch$", "--role", "push button", "--name", "Ok",
                             "--pid", std::to_string(chimly.pid())}),
              std::optional<std::string>("Ok"))
        << "no alert window";
    EXPECT_TRUE(chimly.running());
}

// A notification server on the session bus (python3-dbusmock, with actions and persistence):
// the alert window comes with a notification, and "5" in it postpones the window and closes
// the notification.
TEST_F(WaylandSession, NativelyEachAlertComesWithANotificationThatActsOnTheWindow) {
    testsvc::NotificationMock server;
    std::string error;
    std::string busAddress;
    for (const auto& e : a11y.env())
        if (e.first == "DBUS_SESSION_BUS_ADDRESS")
            busAddress = e.second;
    ASSERT_TRUE(server.start(busAddress, "body actions persistence",
                             MakeTempFolder("notify") + "/calls.log", &error))
        << error;
    ChildProcess chimly;
    Start(chimly);
    const testsvc::Controls controls(ATSPI_CONTROL, a11y.env());
    const std::vector<std::string> alert{"--window", "^stretch$", "--pid",
                                         std::to_string(chimly.pid())};
    ASSERT_TRUE(controls.run([&] {
        auto args = alert;
        args.push_back("--about");
        return args;
    }()))
        << "no alert window";
    std::string calls;
    ASSERT_TRUE(WaitUntil(
        [&] { return (calls = server.calls()).find("'Notify'") != std::string::npos; }, 60s))
        << calls;
    for (const char* said :
         {"<'Chimewell'>, <uint32 0>", "<'stretch'>",
          "<['default', '', 'ok', 'Ok', '5', '5', '15', '15', '60', '60']>",
          "'urgency': <byte 0x02>", "'desktop-entry': <'org.chimewell.Chimewell'>",
          "'suppress-sound': <true>", "'resident': <true>"})
        EXPECT_NE(calls.find(said), std::string::npos) << said << " not in " << calls;
    fs::create_directories(CHIMEWELL_ARTIFACTS_DIR);
    std::ofstream(std::string(CHIMEWELL_ARTIFACTS_DIR) + "/notification-calls.txt") << calls;

    ASSERT_TRUE(server.emitActionInvoked(1, "5"));
    // The mock records the id in the type its template declares (int32).
    EXPECT_TRUE(WaitUntil(
        [&] {
            calls = server.calls();
            return calls.find("'CloseNotification', [<1>]") != std::string::npos ||
                   calls.find("'CloseNotification', [<uint32 1>]") != std::string::npos;
        },
        60s))
        << calls;
    // The window is hidden: it is no longer among the showing windows.
    EXPECT_TRUE(WaitUntil(
        [&] {
            auto args = alert;
            args.insert(args.end(), {"--about", "--timeout", "0"});
            return !controls.run(args).has_value();
        },
        60s));
    EXPECT_TRUE(chimly.running());
    server.stop();
}

} // namespace
