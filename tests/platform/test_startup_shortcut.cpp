// The XDG autostart entry, in the test's temporary XDG_CONFIG_HOME, checked by
// desktop-file-validate.
#include "core/AppPaths.h"
#include "platform/XdgStartupShortcut.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TempHome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// desktop-file-validate's verdict on the file: its messages, empty when it accepts it.
std::string Validate(const std::string& path) {
    const std::string command = "desktop-file-validate '" + path + "' 2>&1";
    std::FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, p) != nullptr)
        out += buffer;
    const int status = ::pclose(p);
    return status == 0 ? out : "exit " + std::to_string(status) + ": " + out;
}

struct StartupShortcutTest : ::testing::Test {
    std::string config = MakeTempFolder("config");
    std::string program = MakeTempFolder("program folder $1 \"quoted\" 100%");
    std::string savedConfig = std::getenv("XDG_CONFIG_HOME");
    XdgStartupShortcut shortcut;

    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setExecutablePathForTests(program + "/Chimly");
    }
    void TearDown() override {
        ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
        setExecutablePathForTests("");
    }
};

TEST_F(StartupShortcutTest, PlacedTwiceReplacedAndRemoved) {
    const std::string entry = config + "/autostart/Chimly.desktop";
    EXPECT_EQ(shortcut.path(), entry);
    EXPECT_FALSE(shortcut.exists());

    ASSERT_TRUE(shortcut.place()); // the autostart folder does not exist yet
    ASSERT_TRUE(shortcut.exists());
    const std::string text = ReadAll(entry);
    EXPECT_THAT(text, ::testing::StartsWith("[Desktop Entry]\n"));
    EXPECT_THAT(text, ::testing::HasSubstr("\nType=Application\n"));
    EXPECT_THAT(text, ::testing::HasSubstr("\nX-GNOME-Autostart-enabled=true\n"));
    // Quoted, with the characters special inside quotes escaped for the Exec rules and
    // then the backslashes for the string rules; "%" doubled.
    EXPECT_THAT(text, ::testing::HasSubstr("\nExec=\"" + config.substr(0, config.find("/config")) +
                                           "/program folder \\\\$1 \\\\\"quoted\\\\\" 100%%-"));
    EXPECT_THAT(text, ::testing::HasSubstr("\nPath=" + program + "\n"));
    EXPECT_EQ(Validate(entry), "");
    const auto mode = [](const std::string& p) {
        return fs::status(p).permissions() & fs::perms::all;
    };
    EXPECT_EQ(mode(config + "/autostart"), fs::perms::owner_all);
    EXPECT_EQ(mode(entry), fs::perms::owner_read | fs::perms::owner_write);

    std::ofstream(entry) << "stale";
    fs::permissions(entry, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                    fs::perm_options::replace);
    ASSERT_TRUE(shortcut.place());
    EXPECT_EQ(ReadAll(entry), text);
    EXPECT_EQ(mode(entry), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(config + "/autostart"), {}), 1)
        << "nothing left beside the entry";

    shortcut.remove();
    EXPECT_FALSE(shortcut.exists());
    EXPECT_FALSE(fs::exists(entry));
    shortcut.remove(); // nothing there: nothing happens
    EXPECT_FALSE(shortcut.exists());
}

TEST_F(StartupShortcutTest, ARenamedExecutableHasItsOwnEntry) {
    ASSERT_TRUE(shortcut.place());
    setExecutablePathForTests(program + "/reminders.bin");
    EXPECT_FALSE(shortcut.exists()) << "the former name's entry is not this one";
    ASSERT_TRUE(shortcut.place());
    EXPECT_TRUE(fs::exists(config + "/autostart/reminders.desktop"));
    EXPECT_TRUE(fs::exists(config + "/autostart/Chimly.desktop"));
    EXPECT_THAT(ReadAll(config + "/autostart/reminders.desktop"),
                ::testing::HasSubstr("/reminders.bin\"\n"));
    EXPECT_EQ(Validate(config + "/autostart/reminders.desktop"), "");
}

TEST_F(StartupShortcutTest, WithoutXdgConfigHomeTheHomeFolderIsUsed) {
    ::setenv("XDG_CONFIG_HOME", "relative/not/allowed", 1);
    EXPECT_EQ(shortcut.path(), TempHome() + "/.config/autostart/Chimly.desktop");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(shortcut.path(), TempHome() + "/.config/autostart/Chimly.desktop");
}

// Installed, the program runs from <prefix>/lib/chimewell with the command <prefix>/bin/chimly
// leading to it: the entry names the command, which the package removes with the program, and
// tests for it, so that a login after the removal starts nothing. Anywhere else, or without that
// link, the entry names the executable itself.
TEST_F(StartupShortcutTest, TheEntryStartsTheInstalledCommandAndTestsForIt) {
    const std::string prefix = program + "/usr";
    const std::string executable = prefix + "/lib/chimewell/Chimly";
    const std::string command = prefix + "/bin/chimly";
    fs::create_directories(prefix + "/lib/chimewell");
    fs::create_directories(prefix + "/bin");
    std::ofstream(executable) << "#!/bin/sh\n";
    fs::permissions(executable, fs::perms::owner_all);
    setExecutablePathForTests(executable);

    const auto placed = [&] {
        const Status status = shortcut.place();
        EXPECT_TRUE(status) << status.message();
        const std::string entry = ReadAll(shortcut.path());
        EXPECT_EQ(Validate(shortcut.path()), "");
        EXPECT_THAT(entry, ::testing::HasSubstr("\nIcon=org.chimewell.Chimewell\n"));
        EXPECT_THAT(entry, ::testing::HasSubstr("\nPath=" + prefix + "/lib/chimewell\n"));
        return entry;
    };
    const auto runs = [](const std::string& path) {
        // Exec quoted and escaped as above; TryExec a plain string.
        std::string quoted = path;
        for (std::size_t at = 0; (at = quoted.find_first_of("$\"", at)) != std::string::npos;
             at += 3)
            quoted.insert(at, "\\\\");
        std::string doubled;
        for (const char c : quoted)
            doubled += c == '%' ? std::string("%%") : std::string(1, c);
        return ::testing::AllOf(::testing::HasSubstr("\nExec=\"" + doubled + "\"\n"),
                                ::testing::HasSubstr("\nTryExec=" + path + "\n"));
    };

    EXPECT_THAT(placed(), runs(executable)) << "no command yet";
    fs::create_symlink("../lib/chimewell/Chimly", command);
    EXPECT_THAT(placed(), runs(command));

    // A command that leads elsewhere is not this program's.
    fs::remove(command);
    std::ofstream(prefix + "/bin/other") << "#!/bin/sh\n";
    fs::create_symlink("other", command);
    EXPECT_THAT(placed(), runs(executable));

    // The same link, but the executable outside lib/chimewell.
    fs::create_directories(prefix + "/opt");
    fs::rename(prefix + "/lib/chimewell", prefix + "/opt/chimewell");
    fs::remove(command);
    fs::create_symlink("../opt/chimewell/Chimly", command);
    EXPECT_EQ(XdgStartupShortcut::commandFor(prefix + "/opt/chimewell/Chimly"),
              prefix + "/opt/chimewell/Chimly");
}

TEST_F(StartupShortcutTest, AnEntryThatCannotBeWrittenSaysWhereAndWhy) {
    const std::string entry = config + "/autostart/Chimly.desktop";
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::string reason;
    };
    for (const Case& c :
         {Case{"a file where the folder should be",
               [&] { std::ofstream(config + "/autostart") << "not a folder"; },
               std::error_code(ENOTDIR, std::generic_category()).message()},
          Case{"a folder where the entry should be", [&] { fs::create_directories(entry); },
               std::error_code(EISDIR, std::generic_category()).message()},
          Case{"a path no entry can hold",
               [&] { setExecutablePathForTests(program + "/a\nb/Chimly"); },
               "the program's path cannot be written into a desktop entry"}}) {
        SCOPED_TRACE(c.what);
        fs::remove_all(config + "/autostart");
        c.prepare();
        const Status placed = shortcut.place();
        EXPECT_FALSE(placed);
        EXPECT_EQ(placed.error, "Unable to write " + entry);
        EXPECT_EQ(placed.reason, c.reason);
        EXPECT_FALSE(fs::exists(entry + ".new")) << "nothing left half-written";
        setExecutablePathForTests(program + "/Chimly");
    }
    const std::string home = std::getenv("HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    const Status placed = shortcut.place();
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_FALSE(placed);
    EXPECT_THAT(placed.error, ::testing::HasSubstr("neither XDG_CONFIG_HOME nor HOME"));
}

TEST(StartupShortcutEntry, AnExecutablePathWithALineBreakGetsNoEntry) {
    EXPECT_EQ(XdgStartupShortcut::entryText("/opt/a\nb/Chimly"), "");
}

} // namespace
