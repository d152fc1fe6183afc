#include "desktop/ProgramSettings.h"
#include "desktop/RegionalDateTime.h"
#include "tests/desktop/FileBytes.h"
#include "tests/fuzz/SettingsRoundTrip.h"
#include "tests/support/FakeClock.h"
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

using namespace std::chrono_literals;

const Moment Now = makeMoment(2026, 12, 10, 9, 0, 1, 250);
const Moment Later = makeMoment(2026, 12, 11, 8, 30);
constexpr int CurrentWidth = 556;

// A clock in a zone a fixed offset from UTC.
class ZoneClock final : public Clock {
public:
    explicit ZoneClock(std::chrono::minutes offset) : m_offset(offset) {}
    ClockReading now() const override { return reading(Now); }
    Moment localMoment(UtcInstant t) const override {
        return Moment{t.time_since_epoch()} + m_offset;
    }
    // The clock's reading at a local moment.
    ClockReading reading(Moment local) const {
        return {UtcInstant{(local - m_offset).time_since_epoch()}, local, {}};
    }

private:
    std::chrono::minutes m_offset;
};

// The settings are read and written at UTC+1, unless a test says otherwise.
const ZoneClock Berlin{60min};
const ClockReading Exit = Berlin.reading(Now);

ProgramSettings Read(const QString& path, Moment now = Now, int width = 1, int height = 1) {
    return readSettings(path.toStdString(), Berlin, now, width, height);
}

std::int64_t Ms(Moment m) {
    return m.time_since_epoch().count();
}
constexpr int CurrentHeight = 480;

ProgramSettings Defaults() {
    ProgramSettings s;
    s.position = {WindowStateCode::Normal, 10, 10, CurrentWidth, CurrentHeight};
    s.lastRunTime = Now;
    return s;
}

void ExpectSame(const WindowPlacement& a, const WindowPlacement& e, const std::string& what) {
    EXPECT_EQ(a.state, e.state) << what;
    EXPECT_EQ(a.left, e.left) << what;
    EXPECT_EQ(a.top, e.top) << what;
    EXPECT_EQ(a.width, e.width) << what;
    EXPECT_EQ(a.height, e.height) << what;
}

void ExpectSame(const ProgramSettings& a, const ProgramSettings& e, const std::string& what) {
    ExpectSame(a.position, e.position, what + " (main window)");
    ASSERT_EQ(a.journal.has_value(), e.journal.has_value()) << what;
    if (a.journal)
        ExpectSame(*a.journal, *e.journal, what + " (journal)");
    EXPECT_EQ(Ms(a.lastRunTime), Ms(e.lastRunTime)) << what;
    EXPECT_EQ(a.language, e.language) << what;
    EXPECT_EQ(a.languageFile, e.languageFile) << what;
    EXPECT_EQ(a.showMissedAtStart, e.showMissedAtStart) << what;
    EXPECT_EQ(a.showDayInTray, e.showDayInTray) << what;
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
             e.showDayInTray = true;
         }},
        {"[Settings]\nPosX=3\n[Journal]\nState=0\n",
         [](ProgramSettings& e) {
             e.journal = {WindowStateCode::Maximized, 10, 10, 0, 0};
         }},
        {"[journal]\nposy=-4\nHeight=300\n",
         [](ProgramSettings& e) {
             e.journal = {WindowStateCode::Normal, 10, -4, 0, 300};
         }},
        // The instant the text names, in the reading clock's zone (UTC+1).
        {"[Last]\nLastTime=2026-12-09T07:59:50+01:00\n",
         [](ProgramSettings& e) { e.lastRunTime = makeMoment(2026, 12, 9, 7, 59, 50); }},
        {"[Last]\nLastTime=2026-12-09T07:59:50-05:00\n",
         [](ProgramSettings& e) { e.lastRunTime = makeMoment(2026, 12, 9, 13, 59, 50); }},
        {"[Last]\nLastTime=2026-12-10T09:00:01+01:00\n",
         [](ProgramSettings& e) { e.lastRunTime = makeMoment(2026, 12, 10, 9, 0, 1); }},
        {"[Last]\nLastTime=2026-12-10T09:00:02+01:00\n", [](ProgramSettings&) {}}, // after now
        {"[Last]\nLastTime=2026-12-09T25:00:00+01:00\n", [](ProgramSettings&) {}},
        // The regional form older versions wrote, and ISO text without an offset, as local.
        {"[Last]\nLastTime=12/9/2026 7:59:50 AM\n",
         [](ProgramSettings& e) { e.lastRunTime = makeMoment(2026, 12, 9, 7, 59, 50); }},
        {"[Last]\nLastTime=12/9/2026\n",
         [](ProgramSettings& e) { e.lastRunTime = makeMoment(2026, 12, 9); }},
        {"[Last]\nLastTime=2026-12-09 07:59:50\n",
         [](ProgramSettings& e) { e.lastRunTime = makeMoment(2026, 12, 9, 7, 59, 50); }},
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
             e.showMissedAtStart = false;
             e.showDayInTray = true;
         }},
        {"[Settings]\nLangFile= /home/u/My Lang.lng \n",
         [](ProgramSettings& e) { e.languageFile = "/home/u/My Lang.lng"; }},
    };
    for (const Case& c : cases) {
        WriteBytes(path, c.file);
        ProgramSettings expected = Defaults();
        c.expect(expected);
        ExpectSame(Read(path, Now, CurrentWidth, CurrentHeight), expected, c.file);
    }
}

TEST_F(SettingsTest, MissingOrUnreadableFileGivesDefaults) {
    ExpectSame(Read(path, Now, CurrentWidth, CurrentHeight), Defaults(), "missing");
    ASSERT_TRUE(QDir(folder).mkdir("Chimly.ini"));
    ExpectSame(Read(path, Now, CurrentWidth, CurrentHeight), Defaults(), "directory");
}

TEST_F(SettingsTest, EverySettingRoundTripsInTheFileOrder) {
    ProgramSettings s;
    s.position = {WindowStateCode::Minimized, -20, 30, 700, 500};
    s.lastRunTime = makeMoment(2001, 1, 1); // not written: writeSettings stores its moment
    s.language = LanguageChoice::Other;
    s.languageFile = QString::fromUtf8("/home/u/My \xD0\xAF.lng");
    s.showMissedAtStart = false;
    s.showDayInTray = true;
    s.journal = {WindowStateCode::Normal, 40, 50, 600, 300};
    ASSERT_TRUE(writeSettings(path.toStdString(), s, Exit));

    EXPECT_EQ(ReadBytes(path), QByteArray("[Position]\n"
                                          "State=1\n"
                                          "PosX=-20\n"
                                          "PosY=30\n"
                                          "Width=700\n"
                                          "Height=500\n"
                                          "[Last]\n"
                                          "LastTime=2026-12-10T09:00:01+01:00\n"
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
    expected.lastRunTime = ToSeconds(Now);
    ExpectSame(Read(path, Later), expected, "round trip");
}

TEST_F(SettingsTest, MaximizedWindowKeepsItsLastNormalPlacement) {
    ProgramSettings s;
    s.position = {WindowStateCode::Normal, 15, 25, 600, 470};
    s.journal = {WindowStateCode::Normal, 1, 2, 590, 275};
    ASSERT_TRUE(writeSettings(path.toStdString(), s, Exit));
    s.position = {WindowStateCode::Maximized, 0, 0, 1280, 800};
    s.journal = {WindowStateCode::Maximized, 0, 0, 1280, 800};
    ASSERT_TRUE(writeSettings(path.toStdString(), s, Exit));

    const ProgramSettings back = Read(path, Later);
    ExpectSame(back.position, {WindowStateCode::Maximized, 15, 25, 600, 470}, "main window");
    ASSERT_TRUE(back.journal);
    ExpectSame(*back.journal, {WindowStateCode::Maximized, 1, 2, 590, 275}, "journal");
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
    ASSERT_TRUE(writeSettings(path.toStdString(), s, Exit));
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
                                          "LastTime=2026-12-10T09:00:01+01:00\r\n"));
}

TEST_F(SettingsTest, LastTimeReadsBackAcrossLocalesAndTimeZones) {
    const char* const locales[] = {"C", "en_US", "en_GB", "de_DE", "ru_RU", "ko_KR", "ar_EG"};
    for (const char* writer : locales) {
        QLocale::setDefault(QLocale(writer));
        ASSERT_TRUE(writeSettings(path.toStdString(), ProgramSettings{}, Exit)) << writer;
        for (const char* reader : locales) {
            QLocale::setDefault(QLocale(reader));
            EXPECT_EQ(Ms(Read(path, Later).lastRunTime), Ms(ToSeconds(Now)))
                << writer << " -> " << reader;
        }
    }
    // The same instant, read after the zone moved from UTC+1 to UTC+3 (summer time, or a
    // journey east): two hours later on the local clock.
    const ZoneClock east(180min);
    EXPECT_EQ(Ms(readSettings(path.toStdString(), east, Later, 1, 1).lastRunTime),
              Ms(ToSeconds(Now) + 2h));

    // The regional form of older versions still reads under its own locale; under another
    // it does not, and the moment of reading is used, never a wrong one.
    QLocale::setDefault(QLocale("en_US"));
    WriteBytes(path, "[Last]\nLastTime=" + RegionalDateTimeText(Now).toUtf8() + "\n");
    EXPECT_EQ(Ms(Read(path, Later).lastRunTime), Ms(ToSeconds(Now)));
    for (const char* name : {"de_DE", "en_GB", "ru_RU"}) {
        QLocale::setDefault(QLocale(name));
        EXPECT_EQ(Read(path, Later).lastRunTime, Later) << name;
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
            if (Read(path).language != LanguageChoice::Russian)
                std::_Exit(2);
            const Status r = writeSettings(path.toStdString(), ProgramSettings{}, Exit);
            std::fprintf(stderr, "[%s]\n", r.error.c_str());
            std::_Exit(r.ok() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "\\[Unable to write to " + path.toStdString() + "\\]");
    fs::permissions(folder.toStdString(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"Chimly.ini"});

    // A settings path that exists but cannot be read as a file is left alone too.
    const QString dirPath = folder + "/Blocked.ini";
    ASSERT_TRUE(QDir(folder).mkdir("Blocked.ini"));
    const Status r = writeSettings(dirPath.toStdString(), ProgramSettings{}, Exit);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error, "Unable to write to " + dirPath.toStdString());
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
