#include "app/Settings.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ReadAll.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

const Moment Start = makeMoment(2026, 12, 10, 9, 0, 0);

struct SettingsOwnerTest : ::testing::Test {
    std::string folder = MakeTempFolder("settings");
    std::string path = folder + "/Chimly.ini";
    FakeClock clock{Start};
};

void ExpectPlacement(const WindowPlacement& a, const WindowPlacement& e) {
    EXPECT_EQ(a.state, e.state);
    EXPECT_EQ(a.left, e.left);
    EXPECT_EQ(a.top, e.top);
    EXPECT_EQ(a.width, e.width);
    EXPECT_EQ(a.height, e.height);
}

// The values read, changed by the settings page and the windows, written together: the
// journal's placement only once one was stored or handed on, the rest of the file kept.
TEST_F(SettingsOwnerTest, WritesTheValuesAndThePlacementsHandedOn) {
    std::ofstream(path)
        << "; the user's note\n[Position]\nPosX=33\nPosY=44\nWidth=500\nHeight=400\n"
           "[Settings]\nMissed=0\nLangPack=1\n";
    Settings settings(path, clock);
    settings.read(Start);
    EXPECT_FALSE(settings.values().showMissedAtStart);
    EXPECT_EQ(settings.values().language, LanguageChoice::Russian);
    EXPECT_EQ(settings.values().position.left, 33);
    EXPECT_FALSE(settings.values().journal);
    ExpectPlacement(settings.journalPlacement(), WindowPlacement{});

    settings.setShowDayInTray(true);
    settings.setShowMissedAtStart(true);
    settings.setLanguage(LanguageChoice::Other);
    settings.setLanguageFile(QStringLiteral("/home/u/My Lang.lng"));
    const WindowPlacement main{WindowStateCode::Normal, 70, 80, 600, 450};
    settings.setMainPlacement(main);
    clock.set(Start + 5min);
    ASSERT_TRUE(settings.write(clock.now(), Settings::Report::OncePerRun));
    EXPECT_EQ(settings.lastTimeWritten(), clock.now().utc);
    const std::string text = ReadAll(path);
    EXPECT_EQ(text.rfind("; the user's note\n", 0), 0u) << text;
    EXPECT_EQ(text.find("[Journal]"), std::string::npos) << text;

    const WindowPlacement journal{WindowStateCode::Minimized, 5, 6, 300, 200};
    settings.setJournalPlacement(journal);
    ExpectPlacement(settings.journalPlacement(), journal);
    ASSERT_TRUE(settings.write(clock.now(), Settings::Report::OncePerRun));

    Settings again(path, clock);
    again.read(Start + 10min);
    const ProgramSettings& back = again.values();
    EXPECT_TRUE(back.showDayInTray);
    EXPECT_TRUE(back.showMissedAtStart);
    EXPECT_EQ(back.language, LanguageChoice::Other);
    EXPECT_EQ(back.languageFile, "/home/u/My Lang.lng");
    EXPECT_EQ(back.lastRunTime, Start + 5min);
    ExpectPlacement(back.position, main);
    ASSERT_TRUE(back.journal);
    ExpectPlacement(*back.journal, journal);
}

// While running, the first failure of the run goes to a window and the rest are silent; at
// the end, every failure goes to standard error and the system log, never to a window.
TEST_F(SettingsOwnerTest, AFailedWriteIsToldOnceInAWindowAndEachTimeInTheLog) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path))); // a folder stands where the file goes
    Settings settings(path, clock);
    settings.read(Start);
    std::vector<QString> shown;
    QObject::connect(&settings, &Settings::writeFailed,
                     [&shown](const QString& text) { shown.push_back(text); });

    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(settings.write(clock.now(), Settings::Report::OncePerRun));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Unable to write to ") +
                                    QString::fromStdString(path) + u'\n'))
        << shown[0].toStdString();
    EXPECT_GT(shown[0].size(), static_cast<qsizetype>(path.size()) + 19) << "no reason given";
    EXPECT_EQ(settings.lastTimeWritten(), clock.now().utc);

    std::string log;
    {
        StderrCapture capture(MakeTempFolder("stderr") + "/stderr.txt");
        for (int i = 0; i < 2; ++i)
            EXPECT_FALSE(settings.write(clock.now(), Settings::Report::SystemLog));
        log = capture.text();
    }
    const std::string line = "Chimewell: Unable to write to " + path + ": ";
    const std::size_t first = log.find(line);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(line, first + 1), std::string::npos) << log;
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

} // namespace
