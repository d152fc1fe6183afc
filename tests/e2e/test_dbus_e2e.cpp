// The running program on a private session bus, driven by clients no one here wrote (gdbus,
// busctl, dbus-send) and by its own command line, started by the bus when it is not running.
#include "core/ReminderRepository.h"
#include "tests/engine/ServiceProcesses.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsvc::ChildProcess;
using testsvc::RunCommand;
using testsvc::WaitUntil;

namespace {

const std::string Dest = "org.chimewell.Chimewell";
const std::string Path = "/org/chimewell/Chimewell";
const std::string Reminders1 = "org.chimewell.Reminders1";
const std::string App = "org.freedesktop.Application";

struct Outcome {
    int code = -1;
    std::string output; // standard output and error together
};

class DbusE2E : public ::testing::Test {
protected:
    static inline testsvc::VirtualDisplay display;
    static inline testsvc::WindowManager wm;
    static inline std::string suiteError;

    static void SetUpTestSuite() {
        std::string error;
        const bool up = display.start(&error) && wm.start(display.display(), &error);
        suiteError = up ? "" : error;
    }
    static void TearDownTestSuite() {
        wm.stop();
        display.stop();
    }

    // A fresh home and a private session bus that carries the program's environment, so that
    // a program it starts for a call finds the display and the folders.
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
               {"PULSE_SERVER", "unix:" + home + "/no-sound"}};
        std::string error;
        ASSERT_TRUE(bus.start(&error, env)) << error;
        env.emplace_back("DBUS_SESSION_BUS_ADDRESS", bus.address());
    }
    void TearDown() override {
        // A program the bus started goes with it.
        Run({CHIMLY_PATH, "quit"});
        WaitUntil([&] { return !NameOwned(); }, 60s);
        bus.stop();
    }

    // The command's exit code and its output, standard error included.
    Outcome Run(std::vector<std::string> argv) const {
        const std::string out = home + "/out." + std::to_string(++runs);
        argv.insert(argv.begin(), {"sh", "-c", "exec \"$@\" 2>&1", "sh"});
        ChildProcess p;
        ChildProcess::Options options;
        options.env = env;
        options.stdoutFile = out;
        std::string error;
        if (!p.start(argv, options, &error))
            return {-1, error};
        const std::optional<int> code = p.wait(180s);
        return {code.value_or(-1), ReadAll(out)};
    }
    Outcome Gdbus(const std::string& interface, const std::string& method,
                  const std::vector<std::string>& args = {}) const {
        std::vector<std::string> argv{"gdbus",  "call",     "--session",
                                      "--dest", Dest,       "--object-path",
                                      Path,     "--method", interface + "." + method};
        argv.insert(argv.end(), args.begin(), args.end());
        return Run(argv);
    }
    bool NameOwned() const {
        return Run({"gdbus", "call", "--session", "--dest", "org.freedesktop.DBus", "--object-path",
                    "/org/freedesktop/DBus", "--method", "org.freedesktop.DBus.NameHasOwner", Dest})
                   .output.find("true") != std::string::npos;
    }
    // args: Qt's own options, which start the program like none.
    void StartProgram(ChildProcess& p, const std::vector<std::string>& args = {}) {
        ChildProcess::Options options;
        options.env = env;
        std::vector<std::string> argv{CHIMLY_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        std::string error;
        ASSERT_TRUE(p.start(argv, options, &error)) << error;
        ASSERT_TRUE(WaitUntil([&] { return NameOwned(); }, 120s)) << "the program took no name";
    }
    // The service file with which the bus starts the program for a call.
    void InstallServiceFile() const {
        fs::create_directories(home + "/data/dbus-1/services");
        std::ofstream(home + "/data/dbus-1/services/" + Dest + ".service")
            << "[D-BUS Service]\nName=" << Dest << "\nExec=" << CHIMLY_PATH << "\n";
    }
    std::string Windows(const std::string& title) const {
        return RunCommand({"xdotool", "search", "--onlyvisible", "--name", title},
                          {{"DISPLAY", display.display()}}, 10s)
            .value_or("");
    }
    std::string WaitForWindow(const std::string& title) const {
        std::string ids;
        WaitUntil([&] { return !(ids = Windows(title)).empty(); }, 120s);
        return ids.substr(0, ids.find('\n'));
    }
    void Keys(const std::string& window, const std::vector<std::string>& keys) const {
        std::vector<std::string> args{"xdotool", "windowactivate", "--sync", window,
                                      "key",     "--delay",        "80"};
        args.insert(args.end(), keys.begin(), keys.end());
        RunCommand(args, {{"DISPLAY", display.display()}}, 20s);
    }

    std::string home, dataFolder;
    testsvc::Env env;
    testsvc::PrivateBus bus;
    mutable int runs = 0;
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The local minute as the interface writes it, waiting past the last seconds of a minute so
// that it is still the same minute a moment later.
std::string ThisMinute() {
    std::time_t t = std::time(nullptr);
    while (std::localtime(&t)->tm_sec >= 45) {
        std::this_thread::sleep_for(1s);
        t = std::time(nullptr);
    }
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M", std::localtime(&t));
    return text;
}

} // namespace

TEST_F(DbusE2E, CallsAreAnsweredAsTheEditorWouldAndEveryChangeIsSaved) {
    ChildProcess chimly;
    StartProgram(chimly);
    ChildProcess monitor;
    {
        ChildProcess::Options options;
        options.env = env;
        options.stdoutFile = home + "/monitor";
        std::string error;
        ASSERT_TRUE(
            monitor.start({"gdbus", "monitor", "--session", "--dest", Dest}, options, &error))
            << error;
        // The monitor prints its first line once it listens.
        ASSERT_TRUE(WaitUntil([&] { return !ReadAll(home + "/monitor").empty(); }, 60s));
    }

    const Outcome introspection =
        Run({"gdbus", "introspect", "--session", "--dest", Dest, "--object-path", Path});
    EXPECT_TRUE(Has(introspection.output, "interface " + Reminders1)) << introspection.output;
    EXPECT_TRUE(Has(introspection.output, "interface " + App)) << introspection.output;
    EXPECT_TRUE(Has(introspection.output, "List(out a(ua{sv}) ")) << introspection.output;

    const std::string tooLong(101, 'a');
    const struct {
        std::vector<std::string> argv; // a gdbus call on Reminders1 unless it names a program
        bool ok;
        std::string answer; // a part of the answer or of the error
    } calls[] = {
        {{"Add", "{'message': <'Tea'>, 'kind': <'once'>, 'at': <'2030-01-02T08:30'>}"},
         true,
         "(uint32 1,)"},
        {{"busctl", "--user",  "call",     Dest,   Path,   Reminders1, "Add",    "a{sv}",
          "4",      "message", "s",        "Walk", "kind", "s",        "weekly", "time",
          "s",      "18:05",   "weekdays", "au",   "2",    "1",        "5"},
         true,
         "u 2"},
        {{"Get", "1"}, true, "'at': <'2030-01-02T08:30'>"},
        {{"Get", "2"}, true, "'weekdays': <[uint32 1, 5]>"},
        {{"Get", "2"}, true, "'time': <'18:05'>"},
        {{"Get", "1"}, true, "'description': <'Specific date and time : 02.01.2030 08:30'>"},
        {{"Update", "1", "{'message': <'Green tea'>, 'click': <true>}"}, true, "()"},
        {{"Get", "1"}, true, "'message': <'Green tea'>"},
        {{"Get", "99"}, false, "org.chimewell.Reminders1.Error.NotFound"},
        {{"Update", "99", "{}"}, false, "org.chimewell.Reminders1.Error.NotFound"},
        {{"Add", "{'kind': <'weekly'>, 'weekdays': <@au []>}"}, false, "weekdays: "},
        {{"Add", "{'weekdays': <[8]>}"}, false, "weekdays: days are 1"},
        {{"Add", "{'showAlert': <false>}"}, false, "showAlert: a reminder needs something to do"},
        {{"Add", "{'colour': <'red'>}"}, false, "colour: is not a key"},
        {{"Add", "{'message': <'" + tooLong + "'>}"}, false, "message: must be at most 100"},
        {{"Add", "{'message': <5>}"}, false, "message: must be a string"},
        {{"Add", "{'monthDay': <32>}"}, false, "monthDay: must be from 1 to 31"},
        {{"Add", "{'at': <'2030-02-30T08:00'>}"}, false, "Error.InvalidArgument: at: "},
        {{"Add", "{'power': <'sleep'>}"}, false, "power: must be off, reboot"},
        {{"dbus-send", "--session", "--print-reply", "--dest=" + Dest, Path, Reminders1 + ".Remove",
          "uint32:2"},
         true,
         "method return"},
        {{"dbus-send", "--session", "--print-reply", "--dest=" + Dest, Path, Reminders1 + ".Remove",
          "uint32:2"},
         false,
         "org.chimewell.Reminders1.Error.NotFound"},
        {{"dbus-send", "--session", "--print-reply", "--dest=" + Dest, Path, Reminders1 + ".List"},
         true,
         "Green tea"},
        {{"gdbus", "call", "--session", "--dest", Dest, "--object-path", Path, "--method",
          App + ".Open", "['file:///tmp/x.ics']", "{}"},
         false,
         "org.freedesktop.DBus.Error.NotSupported"},
        {{"gdbus", "call", "--session", "--dest", Dest, "--object-path", Path, "--method",
          App + ".ActivateAction", "fly", "[]", "{}"},
         false,
         "org.freedesktop.DBus.Error.InvalidArgs"},
        {{"busctl", "--user", "get-property", Dest, Path, Reminders1, "Version"},
         true,
         "s \"" + Run({CHIMLY_PATH, "--version"}).output.substr(0, 3)},
    };
    for (const auto& call : calls) {
        const bool program = call.argv.front() == "busctl" || call.argv.front() == "dbus-send" ||
                             call.argv.front() == "gdbus";
        const Outcome got = program ? Run(call.argv)
                                    : Gdbus(Reminders1, call.argv.front(),
                                            {call.argv.begin() + 1, call.argv.end()});
        SCOPED_TRACE(call.argv.front() + " " + call.argv.back());
        EXPECT_EQ(got.code == 0, call.ok) << got.output;
        EXPECT_TRUE(Has(got.output, call.answer)) << got.output;
    }

    // Every change was told.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string seen = ReadAll(home + "/monitor");
            return Has(seen, "Changed ([uint32 1],)") && Has(seen, "Changed ([uint32 2],)");
        },
        60s))
        << ReadAll(home + "/monitor");
    monitor.stop();

    // Saved at once: the file holds the changes while the program still runs.
    ReminderRepository saved;
    ASSERT_TRUE(WaitUntil(
        [&] {
            ReminderRepository now;
            return now.load(dataFolder + "/things.mln").ok() && now.table().count() == 1 &&
                   now.table().rowAt(0).message() == "Green tea";
        },
        60s));
    ASSERT_TRUE(saved.load(dataFolder + "/things.mln").ok());
    const Reminder r = reminderFromRow(saved.table().rowAt(0));
    EXPECT_EQ(r.number, 1);
    EXPECT_TRUE(r.click);
    EXPECT_TRUE(r.showAlert);
    EXPECT_EQ(r.moment, makeMoment(2030, 1, 2, 8, 30));
    ::kill(chimly.pid(), SIGTERM);
    EXPECT_EQ(chimly.wait(60s), std::optional<int>(0));
}

TEST_F(DbusE2E, AReminderOpenInAnEditorIsBusyAndAnAddInItsOwnMinuteFallsDue) {
    ChildProcess chimly;
    StartProgram(chimly);
    ASSERT_EQ(Gdbus(Reminders1, "Add", {"{'message': <'Later'>, 'at': <'2030-01-02T08:30'>}"}).code,
              0);

    // The list, opened through the bus, and the reminder's editor from it.
    ASSERT_EQ(Run({CHIMLY_PATH, "show"}).code, 0);
    const std::string list = WaitForWindow("^Chimewell$");
    ASSERT_FALSE(list.empty()) << "no list";
    Keys(list, {"Home", "Return"});
    const std::string editor = WaitForWindow("^Edit 1$");
    ASSERT_FALSE(editor.empty()) << "no editor";
    const Outcome busy = Gdbus(Reminders1, "Update", {"1", "{'message': <'Sooner'>}"});
    EXPECT_TRUE(Has(busy.output, "org.chimewell.Reminders1.Error.Busy")) << busy.output;
    const Outcome refused = Run({CHIMLY_PATH, "remove", "1"});
    EXPECT_EQ(refused.code, 5) << refused.output;
    EXPECT_TRUE(Has(refused.output, "open in an editor")) << refused.output;
    Keys(editor, {"Escape"});
    ASSERT_TRUE(WaitUntil([&] { return Windows("^Edit 1$").empty(); }, 60s));
    EXPECT_EQ(Run({CHIMLY_PATH, "remove", "1"}).code, 0);
    EXPECT_EQ(Run({CHIMLY_PATH, "new"}).code, 0);
    EXPECT_FALSE(WaitForWindow("^New$").empty()) << "no editor for a new reminder";

    // A reminder added for the minute that is running falls due in it.
    const Outcome added =
        Gdbus(Reminders1, "Add", {"{'message': <'Now'>, 'at': <'" + ThisMinute() + "'>}"});
    ASSERT_EQ(added.code, 0) << added.output;
    EXPECT_FALSE(WaitForWindow("^Now$").empty()) << "no alert";
}

TEST_F(DbusE2E, AFloodOfCallsAndGarbageIsAnsweredAndSavedTogether) {
    ChildProcess chimly;
    StartProgram(chimly);
    const Outcome flood = Run({"/usr/bin/python3", DBUS_FLOOD, "2000"});
    EXPECT_EQ(flood.output, "answered 2000 2000\n");
    // Every good add is in the file soon after the last answer, and the program goes on.
    EXPECT_TRUE(WaitUntil(
        [&] {
            ReminderRepository saved;
            return saved.load(dataFolder + "/things.mln").ok() && saved.table().count() == 2000;
        },
        30s));
    EXPECT_EQ(Run({CHIMLY_PATH, "show"}).code, 0);
    EXPECT_FALSE(WaitForWindow("^Chimewell$").empty()) << "no list";
    ::kill(chimly.pid(), SIGTERM);
    EXPECT_EQ(chimly.wait(60s), std::optional<int>(0));
}

TEST_F(DbusE2E, AnUnreadableFileRefusesEveryCall) {
    fs::create_directories(dataFolder);
    std::ofstream(dataFolder + "/things.mln") << "not a reminder file";
    ChildProcess chimly;
    StartProgram(chimly, {"-platform", "xcb", "--reverse"});
    const Outcome add = Gdbus(Reminders1, "Add", {"{'message': <'Tea'>}"});
    EXPECT_TRUE(Has(add.output, "org.chimewell.Reminders1.Error.StoreUnavailable")) << add.output;
    EXPECT_EQ(Run({CHIMLY_PATH, "list"}).code, 4);
    EXPECT_EQ(ReadAll(dataFolder + "/things.mln"), "not a reminder file");
}

TEST_F(DbusE2E, TheCommandLineStartsTheProgramThroughTheBus) {
    // Without the service file nothing can start it.
    EXPECT_EQ(Run({CHIMLY_PATH, "list"}).code, 2);
    // Stopping or silencing a program that is not running is done at once.
    EXPECT_EQ(Run({CHIMLY_PATH, "quit"}).code, 0);
    EXPECT_EQ(Run({CHIMLY_PATH, "sound-off"}).code, 0);
    EXPECT_FALSE(NameOwned());

    InstallServiceFile();
    const auto addedAt = std::chrono::steady_clock::now();
    const Outcome added = Run({CHIMLY_PATH, "add", "Tea", "--in", "1m"});
    ASSERT_EQ(added.code, 0) << added.output;
    EXPECT_EQ(added.output, "1\n");
    EXPECT_TRUE(NameOwned());

    const struct {
        std::vector<std::string> args;
        int code;
        std::string output;
    } commands[] = {
        {{"add", "Walk", "--at", "18:05", "--weekdays", "sat,sun", "--flash", "--no-window"},
         0,
         "2\n"},
        {{"add", "Rent", "--at", "09:00", "--monthly", "31", "--click"}, 0, "3\n"},
        {{"list"}, 0, "2\t"},
        {{"list"}, 0, "\tDays of week : Sat, Sun : 18:05\tWalk\n"},
        {{"list", "--json"}, 0, "\"number\": 2,"},
        {{"remove", "3"}, 0, ""},
        {{"remove", "3"}, 3, "There is no reminder 3"},
        {{"remove", "x"}, 1, "not a reminder number"},
        {{"add", "Tea"}, 1, "give one of"},
        {{"add", "Tea", "--at", "18:05", "--monthly", "32"}, 5, "monthDay"},
        {{"add", "Tea", "--in", "soon"}, 1, "--in takes"},
        {{"list", "--flash"}, 1, "list takes no option --flash"},
        {{"frobnicate"}, 1, "unknown command"},
        {{"autostart", "status"}, 0, "off\n"},
        {{"autostart", "on"}, 0, ""},
        {{"autostart", "status"}, 0, "on\n"},
        {{"autostart", "off"}, 0, ""},
    };
    for (const auto& c : commands) {
        std::vector<std::string> argv{CHIMLY_PATH};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const Outcome got = Run(argv);
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        EXPECT_EQ(got.code, c.code) << got.output;
        EXPECT_TRUE(Has(got.output, c.output)) << got.output;
    }

    // The reminder added "in 1m" falls due at the minute nearest to a minute after the command.
    EXPECT_TRUE(WaitUntil([&] { return !Windows("^Tea$").empty(); }, 150s)) << "no alert";
    const auto after = std::chrono::steady_clock::now() - addedAt;
    EXPECT_GT(after, 25s);
    EXPECT_LT(after, 100s);

    EXPECT_EQ(Run({CHIMLY_PATH, "quit"}).code, 0);
    EXPECT_TRUE(WaitUntil([&] { return !NameOwned(); }, 60s)) << "still running";
}
