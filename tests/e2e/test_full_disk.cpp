// The reminder file and the settings file on a real small file system (a tmpfs in a private
// mount namespace): a save that fails because the disk is full, the folder read-only or the
// file replaced by a folder keeps the previous file as it was, and the next save after the
// cause is gone succeeds.
#include "core/ReminderStore.h"
#include "desktop/ProgramSettings.h"
#include "tests/engine/SizeLimitedFolder.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::vector<ReminderRow> Rows(int count, const std::string& message) {
    std::vector<ReminderRow> rows(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        rows[i].setInteger(Col::N, i + 1);
        rows[i].setInteger(Col::DateOrDay, 0);
        rows[i].setReal(Col::Data, 46000.5 + i);
        rows[i].setText(Col::Comment, message + " " + std::to_string(i));
        rows[i].setText(Col::PPath, std::string(400, 'p'));
    }
    return rows;
}

// The names in the folder other than the filler: what a failed save might leave behind.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != "filler" && entry.path().filename() != "lost+found")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// One way a save fails, and how it is undone.
struct Cause {
    const char* what;
    std::function<void(const testsvc::SizeLimitedFolder&, const std::string& file)> apply;
    std::function<void(const testsvc::SizeLimitedFolder&, const std::string& file)> remove;
};

const Cause Causes[] = {
    {"the disk is full",
     [](const auto& folder, const std::string&) {
         std::string error;
         ASSERT_TRUE(folder.fill(&error)) << error;
     },
     [](const auto& folder, const std::string&) { folder.free(); }},
    {"the folder is read-only",
     [](const auto& folder, const std::string&) {
         std::string error;
         ASSERT_TRUE(folder.setReadOnly(true, &error)) << error;
     },
     [](const auto& folder, const std::string&) {
         std::string error;
         ASSERT_TRUE(folder.setReadOnly(false, &error)) << error;
     }},
    {"a folder stands where the file was",
     [](const auto&, const std::string& file) {
         fs::remove(file);
         fs::create_directories(file + "/inside");
     },
     [](const auto&, const std::string& file) { fs::remove_all(file); }},
};

class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!testsvc::SizeLimitedFolder::namespacesPermitted(&why))
            GTEST_SKIP() << "no private mount namespace for a small file system: " << why;
    }
    // A fresh 600 KiB file system for each cause.
    void Mount() {
        folder.stop();
        folderPath = MakeTempFolder("small");
        std::string error;
        ASSERT_TRUE(folder.start(folderPath, "600k", &error)) << error;
    }

    testsvc::SizeLimitedFolder folder;
    std::string folderPath;
};

} // namespace

TEST_F(FullDiskTest, AFailedReminderFileSaveKeepsTheOldFileAndTheNextSaveSucceeds) {
    SqliteReminderStore store;
    const std::vector<ReminderRow> old = Rows(20, "old");
    ReminderChanges changes;
    changes.rows = Rows(200, "changed");
    for (std::int32_t n = 1; n <= 200; ++n)
        changes.numbers.push_back(n);
    // In place while the file is there; made anew once it is gone.
    const auto save = [&](const std::string& file) {
        return fs::exists(file) ? store.write(file, changes) : store.create(file, changes.rows);
    };
    for (const Cause& cause : Causes) {
        SCOPED_TRACE(cause.what);
        ASSERT_NO_FATAL_FAILURE(Mount());
        const std::string file = folder.path("things.mln");
        const Status first = store.create(file, old);
        ASSERT_TRUE(first) << first.error;
        const std::string before = ReadAll(file);
        ASSERT_NO_FATAL_FAILURE(cause.apply(folder, file));
        const bool stillAFile = fs::is_regular_file(file);

        const Status failed = save(file);
        EXPECT_FALSE(failed);
        EXPECT_FALSE(failed.error.empty());
        EXPECT_EQ(Names(folderPath), std::vector<std::string>{"things.mln"});
        if (stillAFile) {
            EXPECT_EQ(ReadAll(file), before);
            std::vector<ReminderRow> read;
            ASSERT_TRUE(store.load(file, read));
            EXPECT_EQ(read, old);
        } else {
            EXPECT_TRUE(fs::exists(file + "/inside")) << "the folder was touched";
        }

        ASSERT_NO_FATAL_FAILURE(cause.remove(folder, file));
        const Status saved = save(file);
        ASSERT_TRUE(saved) << saved.error;
        std::vector<ReminderRow> read;
        ASSERT_TRUE(store.load(file, read));
        EXPECT_EQ(read, changes.rows);
    }
}

TEST_F(FullDiskTest, AFailedSettingsWriteKeepsTheOldFileAndTheNextWriteSucceeds) {
    ProgramSettings settings;
    settings.languageFile = QString(2000, u'l'); // more than a page of text
    const FakeClock clock(makeMoment(2026, 12, 10, 18, 0));
    for (const Cause& cause : Causes) {
        SCOPED_TRACE(cause.what);
        ASSERT_NO_FATAL_FAILURE(Mount());
        const std::string file = folder.path("Chimly.ini");
        const QString path = QString::fromStdString(file);
        { std::ofstream(file) << "; the user's note\n[Position]\nPosX=33\n"; }
        const std::string before = ReadAll(file);
        ASSERT_NO_FATAL_FAILURE(cause.apply(folder, file));
        const bool stillAFile = fs::is_regular_file(file);

        const Status failed = writeSettings(path.toStdString(), settings, clock.now());
        EXPECT_FALSE(failed.ok());
        EXPECT_EQ(failed.error, "Unable to write to " + path.toStdString());
        EXPECT_FALSE(failed.reason.empty());
        EXPECT_EQ(Names(folderPath), std::vector<std::string>{"Chimly.ini"});
        if (stillAFile) {
            EXPECT_EQ(ReadAll(file), before);
        }

        ASSERT_NO_FATAL_FAILURE(cause.remove(folder, file));
        const Status written = writeSettings(path.toStdString(), settings, clock.now());
        ASSERT_TRUE(written.ok()) << written.message();
        EXPECT_EQ(readSettings(path.toStdString(), clock, clock.now().local, 0, 0).languageFile,
                  settings.languageFile);
    }
}
