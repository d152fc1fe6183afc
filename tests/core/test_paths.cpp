#include "TempHome.h"
#include "uDataModule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct PathsTest : ::testing::Test {
    std::string base = MakeTempFolder("paths");
    std::vector<std::string> messages;
    std::string savedData = std::getenv("XDG_DATA_HOME");
    std::string savedConfig = std::getenv("XDG_CONFIG_HOME");

    void SetUp() override {
        SetMessageSink([this](const std::string& m) { messages.push_back(m); });
        fs::create_directories(base + "/tools");
        SetExecutablePath(base + "/tools/Chimly");
        DataFolderId = CSIDL_APPDATA;
        DataFolder.clear();
    }
    void TearDown() override {
        SetMessageSink(nullptr);
        SetExecutablePath("");
        ::setenv("XDG_DATA_HOME", savedData.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    }
};

} // namespace

TEST_F(PathsTest, DataFolderHoldsSettingsAndTable) {
    ::setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
    EXPECT_EQ(SettingsFilePath(), base + "/data/Chimewell/Chimly.ini");
    EXPECT_EQ(DataFolder, base + "/data/Chimewell");
    EXPECT_TRUE(fs::is_directory(DataFolder));
    EXPECT_EQ(ThingsFilePath(), base + "/data/Chimewell/things.mln");
    EXPECT_EQ(ExeFolder(), base + "/tools/");
    EXPECT_EQ(ClickSoundPath(), base + "/tools/sounds/click.wav");
    EXPECT_EQ(SoundsFolder(), base + "/tools/sounds/");

    SetExecutablePath(base + "/tools/Other.bin");
    EXPECT_EQ(SettingsFilePath(), base + "/data/Chimewell/Other.ini");
    EXPECT_EQ(ThingsFilePath(), base + "/data/Chimewell/things.mln");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PathsTest, WithoutADataFolderBothFilesLiveBesideTheExecutable) {
    // The folder cannot be created: a file stands where its parent should be.
    std::ofstream(base + "/blocker") << "x";
    ::setenv("XDG_DATA_HOME", (base + "/blocker").c_str(), 1);
    EXPECT_EQ(SettingsFilePath(), base + "/tools/Chimly.ini");
    EXPECT_EQ(ThingsFilePath(), base + "/tools/things.mln");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(base + "/blocker/Chimewell"), std::string::npos);

    DataFolderId = 0;
    messages.clear();
    EXPECT_EQ(SettingsFilePath(), base + "/tools/Chimly.ini");
    EXPECT_EQ(ThingsFilePath(), base + "/tools/things.mln");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PathsTest, DocumentsFolderFollowsUserDirs) {
    ::setenv("XDG_CONFIG_HOME", (base + "/cfg").c_str(), 1);
    EXPECT_EQ(DocumentsFolder(), WithTrailingBackslash(std::getenv("HOME")));
    fs::create_directories(base + "/cfg");
    std::ofstream(base + "/cfg/user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(DocumentsFolder(), std::string(std::getenv("HOME")) + "/Dokumente/");
}

TEST(Paths, WithTrailingBackslash) {
    EXPECT_EQ(WithTrailingBackslash("/data/"), "/data/");
    EXPECT_EQ(WithTrailingBackslash("/data"), "/data/");
}
