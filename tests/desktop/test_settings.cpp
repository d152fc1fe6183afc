#include "desktop/ProgramSettings.h"
#include "desktop/RegionalDateTime.h"
#include "tests/desktop/FileBytes.h"
#include "tests/fuzz/SettingsRoundTrip.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <unistd.h>

namespace {

const Moment Now = makeMoment(2026, 12, 10, 9, 0, 1, 250);
const Moment Later = makeMoment(2026, 12, 11, 8, 30);
constexpr int CurrentWidth = 556;

std::int64_t Ms(Moment m) {
    return m.time_since_epoch().count();
}
constexpr int CurrentHeight = 480;

ProgramSettings Defaults() {
    ProgramSettings s;
    s.position = {WindowStateCode::Normal, 10, 10, CurrentWidth, CurrentHeight};
    s.LastRunTime = Now;
    return s;
}

void ExpectSame(const ProgramSettings& a, const ProgramSettings& e, const std::string& what) {
    EXPECT_EQ(a.position.state, e.position.state) << what;
    EXPECT_EQ(a.position.left, e.position.left) << what;
    EXPECT_EQ(a.position.top, e.position.top) << what;
    EXPECT_EQ(a.position.width, e.position.width) << what;
    EXPECT_EQ(a.position.height, e.position.height) << what;
    EXPECT_EQ(Ms(a.LastRunTime), Ms(e.LastRunTime)) << what;
    EXPECT_EQ(a.language, e.language) << what;
    EXPECT_EQ(a.languageFile, e.languageFile) << what;
    EXPECT_EQ(a.ShowMissedAtStart, e.ShowMissedAtStart) << what;
    EXPECT_EQ(a.ShowDayInTray, e.ShowDayInTray) << what;
}

// The moment as written: whole seconds.
Moment ToSeconds(Moment t) {
    return std::chrono::floor<std::chrono::seconds>(t);
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale("en_US")); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    QString folder = QString::fromStdString(MakeTempFolder("settings"));
    QString path = folder + QStringLiteral("/Chimly.ini");
};

TEST_F(SettingsTest, ReadsGoodMissingAndUnreadableValues) {
    struct Case {
        const char* file;
        std::function<void(ProgramSettings&)> expect;
    };
    const Case cases[] = {
        {"", [](ProgramSettings&) {}},
        {"[Position]\nState=0\nPosX=-5\nPosY=$20\nWidth=100\nHeight=0x1F4\n",
         [](ProgramSettings& e) {
             e.position = {WindowStateCode::Maximized, -5, 32, 100, 500};
         }},
        {"[Position]\nState=1\n",
         [](ProgramSettings& e) { e.position.state = WindowStateCode::Minimized; }},
        {"[Position]\nState=3\nPosX=abc\nWidth=\n", [](ProgramSettings&) {}},
        {"[Position]\nState=-1\n", [](ProgramSettings&) {}},
        {"[position]\nposx = 3\n[SETTINGS]\nSHOWDAY=1\n",
         [](ProgramSettings& e) {
             e.position.left = 3;
             e.ShowDayInTray = true;
         }},
        {"[Settings]\nPosX=3\n[Journal]\nState=0\n", [](ProgramSettings&) {}},
        {"[Last]\nLastTime=12/9/2026 7:59:50 AM\n",
         [](ProgramSettings& e) { e.LastRunTime = makeMoment(2026, 12, 9, 7, 59, 50); }},
        {"[Last]\nLastTime=12/9/2026\n",
         [](ProgramSettings& e) { e.LastRunTime = makeMoment(2026, 12, 9); }},
        {"[Last]\nLastTime=09.12.2026 07:59:50\n", [](ProgramSettings&) {}},
        {"[Last]\nLastTime=12/11/2026 7:59:50 AM\n", [](ProgramSettings&) {}}, // after now
        {"[Last]\nLastTime=\n", [](ProgramSettings&) {}},
        {"[Settings]\nLangPack=1\n",
         [](ProgramSettings& e) { e.language = LanguageChoice::Russian; }},
        {"[Settings]\nLangPack=7\n",
         [](ProgramSettings& e) { e.language = LanguageChoice::Other; }},
        {"[Settings]\nLangPack=-1\n",
         [](ProgramSettings& e) { e.language = LanguageChoice::Other; }},
        {"[Settings]\nLangPack=ru\n", [](ProgramSettings&) {}},
        {"[Settings]\nMissed=yes\nShowDay=no\n", [](ProgramSettings&) {}},
        {"[Settings]\nMissed=0\nShowDay=5\n",
         [](ProgramSettings& e) {
             e.ShowMissedAtStart = false;
             e.ShowDayInTray = true;
         }},
        {"[Settings]\nLangFile= /home/u/My Lang.lng \n",
         [](ProgramSettings& e) { e.languageFile = "/home/u/My Lang.lng"; }},
    };
    for (const Case& c : cases) {
        WriteBytes(path, c.file);
        ProgramSettings expected = Defaults();
        c.expect(expected);
        ExpectSame(ReadSettings(path, Now, CurrentWidth, CurrentHeight), expected, c.file);
    }
}

TEST_F(SettingsTest, MissingOrUnreadableFileGivesDefaults) {
    ExpectSame(ReadSettings(path, Now, CurrentWidth, CurrentHeight), Defaults(), "missing");
    ASSERT_TRUE(QDir(folder).mkdir("Chimly.ini"));
    ExpectSame(ReadSettings(path, Now, CurrentWidth, CurrentHeight), Defaults(), "directory");
    const WindowPlacement j = ReadJournalPlacement(path, 590, 275);
    EXPECT_EQ(j.state, WindowStateCode::Normal);
    EXPECT_EQ(j.left, 10);
    EXPECT_EQ(j.top, 10);
    EXPECT_EQ(j.width, 590);
    EXPECT_EQ(j.height, 275);
}

TEST_F(SettingsTest, EverySettingRoundTripsInTheFileOrder) {
    ProgramSettings s;
    s.position = {WindowStateCode::Minimized, -20, 30, 700, 500};
    s.LastRunTime = makeMoment(2001, 1, 1); // not written: WriteSettings stores now
    s.language = LanguageChoice::Other;
    s.languageFile = QString::fromUtf8("/home/u/My \xD0\xAF.lng");
    s.ShowMissedAtStart = false;
    s.ShowDayInTray = true;
    ASSERT_TRUE(WriteSettings(path, s, Now));
    const WindowPlacement journal{WindowStateCode::Normal, 40, 50, 600, 300};
    ASSERT_TRUE(WriteJournalPlacement(path, journal));

    EXPECT_EQ(ReadBytes(path), QByteArray("[Position]\n"
                                          "State=1\n"
                                          "PosX=-20\n"
                                          "PosY=30\n"
                                          "Width=700\n"
                                          "Height=500\n"
                                          "[Last]\n"
                                          "LastTime=12/10/2026 9:00:01 AM\n"
                                          "[Settings]\n"
                                          "LangPack=2\n"
                                          "LangFile=/home/u/My \xD0\xAF.lng\n"
                                          "Missed=0\n"
                                          "ShowDay=1\n"
                                          "[Journal]\n"
                                          "State=2\n"
                                          "PosX=40\n"
                                          "PosY=50\n"
                                          "Width=600\n"
                                          "Height=300\n"));

    ProgramSettings expected = s;
    expected.LastRunTime = ToSeconds(Now);
    ExpectSame(ReadSettings(path, Later, 1, 1), expected, "round trip");
    const WindowPlacement j = ReadJournalPlacement(path, 1, 1);
    EXPECT_EQ(j.state, journal.state);
    EXPECT_EQ(j.left, journal.left);
    EXPECT_EQ(j.top, journal.top);
    EXPECT_EQ(j.width, journal.width);
    EXPECT_EQ(j.height, journal.height);
}

TEST_F(SettingsTest, MaximizedWindowKeepsItsLastNormalPlacement) {
    ProgramSettings s;
    s.position = {WindowStateCode::Normal, 15, 25, 600, 470};
    ASSERT_TRUE(WriteSettings(path, s, Now));
    ASSERT_TRUE(WriteJournalPlacement(path, {WindowStateCode::Normal, 1, 2, 590, 275}));
    s.position = {WindowStateCode::Maximized, 0, 0, 1280, 800};
    ASSERT_TRUE(WriteSettings(path, s, Now));
    ASSERT_TRUE(WriteJournalPlacement(path, {WindowStateCode::Maximized, 0, 0, 1280, 800}));

    const ProgramSettings back = ReadSettings(path, Later, 1, 1);
    EXPECT_EQ(back.position.state, WindowStateCode::Maximized);
    EXPECT_EQ(back.position.left, 15);
    EXPECT_EQ(back.position.top, 25);
    EXPECT_EQ(back.position.width, 600);
    EXPECT_EQ(back.position.height, 470);
    const WindowPlacement j = ReadJournalPlacement(path, 1, 1);
    EXPECT_EQ(j.state, WindowStateCode::Maximized);
    EXPECT_EQ(j.left, 1);
    EXPECT_EQ(j.width, 590);
}

TEST_F(SettingsTest, WritingKeepsCommentsUnknownKeysAndOtherSections) {
    WriteBytes(path, "; my settings\r\n"
                     "[position]\r\n"
                     "posx=1\r\n"
                     "Monitor=2\r\n"
                     "\r\n"
                     "[Journal]\r\n"
                     "State=0\r\n"
                     "[Settings]\r\n"
                     "LANGPACK=1\r\n"
                     "Theme=dark\r\n");
    ProgramSettings s;
    s.position = {WindowStateCode::Normal, 5, 6, 700, 500};
    ASSERT_TRUE(WriteSettings(path, s, Now));
    EXPECT_EQ(ReadBytes(path), QByteArray("; my settings\r\n"
                                          "[position]\r\n"
                                          "posx=5\r\n"
                                          "Monitor=2\r\n"
                                          "State=2\r\n"
                                          "PosY=6\r\n"
                                          "Width=700\r\n"
                                          "Height=500\r\n"
                                          "\r\n"
                                          "[Journal]\r\n"
                                          "State=0\r\n"
                                          "[Settings]\r\n"
                                          "LANGPACK=0\r\n"
                                          "Theme=dark\r\n"
                                          "LangFile=\r\n"
                                          "Missed=1\r\n"
                                          "ShowDay=0\r\n"
                                          "[Last]\r\n"
                                          "LastTime=12/10/2026 9:00:01 AM\r\n"));
}

TEST_F(SettingsTest, LastTimeRoundTripsUnderEachLocaleAndNotAcrossThem) {
    for (const char* name : {"en_US", "de_DE", "ru_RU", "ko_KR", "ar_EG"}) {
        QLocale::setDefault(QLocale(name));
        ASSERT_TRUE(WriteSettings(path, ProgramSettings{}, Now)) << name;
        EXPECT_EQ(Ms(ReadSettings(path, Later, 1, 1).LastRunTime), Ms(ToSeconds(Now))) << name;
    }
    // Written as "12/10/2026 9:00:01 AM", then the regional format changes: the
    // text no longer reads, so the moment of reading is used, never a wrong one.
    QLocale::setDefault(QLocale("en_US"));
    ASSERT_TRUE(WriteSettings(path, ProgramSettings{}, Now));
    for (const char* name : {"de_DE", "en_GB", "ru_RU"}) {
        QLocale::setDefault(QLocale(name));
        EXPECT_EQ(ReadSettings(path, Later, 1, 1).LastRunTime, Later) << name;
    }
}

// Drops root rights in a child process so that folder permissions apply.
void BecomeOrdinaryUser() {
    if (::geteuid() != 0)
        return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
        std::_Exit(3);
}

TEST_F(SettingsTest, UnwritableFileReportsAndKeepsTheOldFile) {
    const QByteArray old = "[Settings]\nLangPack=1\n";
    WriteBytes(path, old);
    // Let an ordinary user reach the folder and write the file itself; only the
    // folder is read-only, so the file cannot be replaced.
    namespace fs = std::filesystem;
    for (fs::path p = folder.toStdString(); p.string().size() >= TempHome().size();
         p = p.parent_path())
        fs::permissions(p, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(path.toStdString(), fs::perms::others_write, fs::perm_options::add);
    fs::permissions(folder.toStdString(), fs::perms::owner_write | fs::perms::group_write,
                    fs::perm_options::remove);

    EXPECT_EXIT(
        {
            BecomeOrdinaryUser();
            // The file itself must still read, so that the folder is what fails.
            if (ReadSettings(path, Now, 1, 1).language != LanguageChoice::Russian)
                std::_Exit(2);
            const SettingsWriteResult r = WriteSettings(path, ProgramSettings{}, Now);
            std::fprintf(stderr, "[%s]\n", qPrintable(r.errorText));
            std::_Exit(r.ok ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "\\[Unable to write to " + path.toStdString() + "\\]");
    fs::permissions(folder.toStdString(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"Chimly.ini"});

    // A settings path that exists but cannot be read as a file is left alone too.
    const QString dirPath = folder + "/Blocked.ini";
    ASSERT_TRUE(QDir(folder).mkdir("Blocked.ini"));
    const SettingsWriteResult r = WriteJournalPlacement(dirPath, WindowPlacement{});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errorText, "Unable to write to " + dirPath);
    EXPECT_TRUE(QFileInfo(dirPath).isDir());
}

} // namespace

// Files the fuzzer found once to read, write and read back as other settings.
TEST_F(SettingsTest, FilesTheFuzzerFoundReadWriteAndReadBackAsTheSameSettings) {
    const std::filesystem::path found = CHIMEWELL_FUZZ_FINDINGS "/settings";
    for (const auto& entry : std::filesystem::directory_iterator(found)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::filesystem::copy_file(entry.path(), path.toStdString(),
                                   std::filesystem::copy_options::overwrite_existing);
        EXPECT_EQ(settingsRoundTripFailure(path), "");
    }
}
