// Opening files through the desktop: Qt's xcb platform hands documents to xdg-open (the
// offscreen and minimal platforms open nothing), so this runs on a private Xvfb with a fake
// xdg-open first on PATH that writes down what it was asked to open. Programs and desktop
// entries are temporary scripts that leave a marker file.
#include "engine/AsyncTask.h"
#include "engine/ReminderActions.h"
#include "platform/ShellOpen.h"
#include "tests/engine/ServiceProcesses.h"
#include "tests/support/ReadAll.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/TempHome.h"

#include <QGuiApplication>
#include <QObject>
#include <QTest>
#include <QUrl>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class ShellOpenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        display_ = std::make_unique<testsvc::VirtualDisplay>();
        if (!display_->start(&error_))
            return;
        folder_ = MakeTempFolder("shell");
        log_ = folder_ + "/opened.txt";
        marker_ = folder_ + "/marker.txt";
        const std::string bin = folder_ + "/bin";
        std::filesystem::create_directories(bin);
        {
            std::ofstream script(bin + "/xdg-open");
            script << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << log_ << "'\n";
        }
        ::chmod((bin + "/xdg-open").c_str(), 0755);
        ::setenv("PATH", (bin + ":" + std::getenv("PATH")).c_str(), 1);
        ::setenv("DISPLAY", display_->display().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    static void TearDownTestSuite() {
        app_.reset();
        display_.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(error_.empty()) << error_;
        std::filesystem::remove(log_);
        std::filesystem::remove(marker_);
    }

    static std::string file(const std::string& name) {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path) << "x";
        return path;
    }
    static bool waitForLines(std::size_t n) {
        return QTest::qWaitFor([n] { return ReadLines(log_).size() >= n; }, 60000);
    }
    // A script in its own folder that writes its working folder and its number of arguments
    // to the marker file.
    static std::string markerScript(const std::string& name, mode_t mode) {
        const std::string dir = folder_ + "/" + name + " folder";
        std::filesystem::create_directories(dir);
        const std::string path = dir + "/" + name;
        std::ofstream(path) << "#!/bin/sh\nprintf '%s %s\\n' \"$PWD\" \"$#\" > '" << marker_
                            << ".tmp'\nmv '" << marker_ << ".tmp' '" << marker_ << "'\n";
        ::chmod(path.c_str(), mode);
        return path;
    }
    static std::string desktopEntry(const std::string& name, const std::string& exec) {
        const std::string path = folder_ + "/" + name + ".desktop";
        std::ofstream(path) << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=\""
                            << exec << "\"\n";
        return path;
    }
    static bool waitForMarker() {
        return QTest::qWaitFor([] { return std::filesystem::exists(marker_); }, 60000);
    }

    static inline int argc_ = 1;
    static inline char arg0_[] = "test_shell_open_e2e";
    static inline char* argv_[] = {arg0_, nullptr};
    static inline std::unique_ptr<testsvc::VirtualDisplay> display_;
    static inline std::unique_ptr<QGuiApplication> app_;
    static inline std::string folder_;
    static inline std::string log_;
    static inline std::string marker_;
    static inline std::string error_;
};

TEST_F(ShellOpenTest, ShellOpenPassesThePercentEncodedFileUrl) {
    const std::string path = file("a b%\xc3\xbc.txt");
    shellOpen(path);
    ASSERT_TRUE(waitForLines(1)) << "xdg-open was not run";
    EXPECT_EQ(ReadLines(log_),
              std::vector<std::string>{"file://" + folder_ + "/a%20b%25%C3%BC.txt"});
}

TEST_F(ShellOpenTest, OpenFileAsyncOpensOnlyExistingFiles) {
    QObject owner;
    ReminderActions::openFileAsync(&owner, folder_ + "/missing.txt");
    ReminderActions::openFileAsync(&owner, std::string());
    ReminderActions::openFileAsync(&owner, folder_); // a folder is not a file
    ASSERT_TRUE(QTest::qWaitFor([] { return AsyncTask::pendingCount() == 0; }, 60000));
    // The missing ones are done; one existing file must now be the only one opened.
    const std::string path = file("doc.txt");
    ReminderActions::openFileAsync(&owner, path);
    ASSERT_TRUE(waitForLines(1)) << "xdg-open was not run";
    ASSERT_TRUE(QTest::qWaitFor([] { return AsyncTask::pendingCount() == 0; }, 60000));
    EXPECT_EQ(ReadLines(log_),
              std::vector<std::string>{
                  QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded().toStdString()});
}
TEST_F(ShellOpenTest, ProgramStartsInItsOwnFolderWithoutArguments) {
    const std::string program = markerScript("backup.sh", 0755);
    shellOpen(program);
    ASSERT_TRUE(waitForMarker()) << "the program did not run";
    const std::string folder = std::filesystem::path(program).parent_path();
    EXPECT_EQ(ReadAll(marker_), folder + " 0\n");
    EXPECT_TRUE(ReadLines(log_).empty()) << "the program went to xdg-open";
}

TEST_F(ShellOpenTest, DesktopEntryIsLaunched) {
    const std::string entry = desktopEntry("Backup", markerScript("entry.sh", 0755));
    shellOpen(entry);
    ASSERT_TRUE(waitForMarker()) << "gio launch did not start the entry's program";
    EXPECT_TRUE(ReadLines(log_).empty()) << "the entry went to xdg-open";
}

TEST_F(ShellOpenTest, ScriptWithoutExecutePermissionGoesToTheOpener) {
    const std::string script = markerScript("plain.sh", 0644);
    shellOpen(script);
    ASSERT_TRUE(waitForLines(1)) << "xdg-open was not run";
    EXPECT_EQ(ReadLines(log_),
              std::vector<std::string>{
                  QUrl::fromLocalFile(QString::fromStdString(script)).toEncoded().toStdString()});
    EXPECT_FALSE(std::filesystem::exists(marker_)) << "the script was run";
}

TEST_F(ShellOpenTest, ProgramsThatFailToStartAreReportedOnStandardError) {
    const std::string broken = folder_ + "/broken.sh";
    std::ofstream(broken) << "#!/nonexistent/interpreter\n";
    ::chmod(broken.c_str(), 0755);
    const std::string entry = desktopEntry("Gone", folder_ + "/nonexistent-program");
    StderrCapture err(folder_ + "/stderr.txt");
    shellOpen(broken);
    shellOpen(entry);
    const bool reported = QTest::qWaitFor(
        [&] {
            const std::string text = err.text();
            return text.find("could not start " + broken) != std::string::npos &&
                   text.find("could not start " + entry) != std::string::npos;
        },
        60000);
    EXPECT_TRUE(reported) << err.text();
    EXPECT_TRUE(ReadLines(log_).empty()) << "a failed program went to xdg-open";
}
} // namespace
