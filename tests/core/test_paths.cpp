#include "core/AppPaths.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct PathsTest : ::testing::Test {
    std::string base = MakeTempFolder("paths");
    std::string savedData = std::getenv("XDG_DATA_HOME");
    std::string savedConfig = std::getenv("XDG_CONFIG_HOME");
    fs::path savedWorkingDirectory = fs::current_path();

    void SetUp() override {
        fs::create_directories(base + "/tools");
        setExecutablePathForTests(base + "/tools/Chimly");
    }
    void TearDown() override {
        setExecutablePathForTests("");
        ::setenv("XDG_DATA_HOME", savedData.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
        fs::current_path(savedWorkingDirectory);
    }
};

} // namespace

TEST_F(PathsTest, DataFolderHoldsSettingsAndTable) {
    ::setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
    const DataPaths paths = locateDataPaths();
    EXPECT_EQ(paths.settingsFilePath, base + "/data/Chimewell/Chimly.ini");
    EXPECT_EQ(paths.dataFolder, base + "/data/Chimewell");
    EXPECT_TRUE(fs::is_directory(paths.dataFolder));
    // Made for the user alone, the data home too.
    for (const std::string& made : {base + "/data", paths.dataFolder})
        EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all) << made;
    EXPECT_EQ(paths.reminderFilePath, base + "/data/Chimewell/things.mln");
    EXPECT_EQ(paths.error, "");
    EXPECT_EQ(programFolder(), base + "/tools/");
    EXPECT_EQ(clickSoundPath(), base + "/tools/sounds/click.wav");
    EXPECT_EQ(soundsFolder(), base + "/tools/sounds/");

    setExecutablePathForTests(base + "/tools/Other.bin");
    const DataPaths other = locateDataPaths();
    EXPECT_EQ(other.settingsFilePath, base + "/data/Chimewell/Other.ini");
    EXPECT_EQ(other.reminderFilePath, base + "/data/Chimewell/things.mln");
}

TEST_F(PathsTest, TheDataFolderIsUsedWhateverTheWorkingDirectory) {
    // Started from inside the data home itself.
    ::setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
    fs::create_directories(base + "/data");
    fs::current_path(base + "/data");
    const DataPaths paths = locateDataPaths();
    EXPECT_EQ(paths.dataFolder, base + "/data/Chimewell");
    EXPECT_EQ(paths.reminderFilePath, base + "/data/Chimewell/things.mln");
}

TEST_F(PathsTest, WithoutADataFolderBothFilesLiveBesideTheExecutable) {
    // The folder cannot be created: a file stands where its parent should be.
    std::ofstream(base + "/blocker") << "x";
    ::setenv("XDG_DATA_HOME", (base + "/blocker").c_str(), 1);
    const DataPaths blocked = locateDataPaths();
    EXPECT_EQ(blocked.settingsFilePath, base + "/tools/Chimly.ini");
    EXPECT_EQ(blocked.reminderFilePath, base + "/tools/things.mln");
    EXPECT_EQ(blocked.dataFolder, "");
    EXPECT_NE(blocked.error.find(base + "/blocker/Chimewell"), std::string::npos);

    const DataPaths unused = locateDataPaths(false);
    EXPECT_EQ(unused.settingsFilePath, base + "/tools/Chimly.ini");
    EXPECT_EQ(unused.reminderFilePath, base + "/tools/things.mln");
    EXPECT_EQ(unused.error, "");
}

TEST_F(PathsTest, DocumentsFolderFollowsUserDirs) {
    ::setenv("XDG_CONFIG_HOME", (base + "/cfg").c_str(), 1);
    EXPECT_EQ(documentsFolder(), withTrailingSeparator(std::getenv("HOME")));
    fs::create_directories(base + "/cfg");
    std::ofstream(base + "/cfg/user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(documentsFolder(), std::string(std::getenv("HOME")) + "/Dokumente/");
}

TEST(Paths, WithTrailingSeparator) {
    EXPECT_EQ(withTrailingSeparator("/data/"), "/data/");
    EXPECT_EQ(withTrailingSeparator("/data"), "/data/");
}

// Installed, the program lives in lib/chimewell and its own files in share/chimewell; in a
// build they lie beside it. The program folder is looked in first, so a build never takes an
// installed copy's files.
TEST_F(PathsTest, TheProgramsOwnFilesAreFoundBesideItElseInTheInstalledShareFolder) {
    const std::string program = base + "/usr/lib/chimewell/";
    const std::string shared = base + "/usr/share/chimewell/";
    fs::create_directories(program);
    fs::create_directories(shared + "sounds");
    setExecutablePathForTests(program + "Chimly");
    EXPECT_EQ(resourceFolders(), (std::vector<std::string>{program, shared}));

    // Nothing anywhere: the program folder, so that a message names the expected place.
    EXPECT_EQ(resourcePath("Help.htm"), program + "Help.htm");
    std::ofstream(shared + "Help.htm") << "shared";
    std::ofstream(shared + "sounds/click.wav") << "RIFF";
    EXPECT_EQ(resourcePath("Help.htm"), shared + "Help.htm");
    EXPECT_EQ(resourceFolder("Chimly_ru.lng"), program);
    EXPECT_EQ(soundsFolder(), shared + "sounds/");
    EXPECT_EQ(clickSoundPath(), shared + "sounds/click.wav");

    std::ofstream(program + "Help.htm") << "beside";
    fs::create_directories(program + "sounds");
    EXPECT_EQ(resourcePath("Help.htm"), program + "Help.htm");
    EXPECT_EQ(soundsFolder(), program + "sounds/");
}
