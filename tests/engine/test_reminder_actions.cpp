// The reminder actions' hand-over to the owner's thread, against a recording sound player.
#include "engine/AsyncTask.h"
#include "engine/ReminderActions.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/TempHome.h"

#include <QObject>
#include <QTest>
#include <QThread>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {
bool WaitForTasks() {
    return QTest::qWaitFor([] { return AsyncTask::pendingCount() == 0; }, 60000);
}

QString MakeWav(const QString& path) {
    std::ofstream(path.toStdString()) << "RIFF";
    return path;
}

TEST(ReminderActions, PlaySoundPlaysTheFirstExistingFileOfSoundAndFallback) {
    const QString folder = QString::fromStdString(MakeTempFolder("actions"));
    const QString wav = MakeWav(folder + "/s.wav");
    const QString click = MakeWav(folder + "/click.wav");
    const QString missing = folder + "/missing.wav";
    struct Case {
        const char* what;
        QString sound;
        QString fallback;
        QString played; // empty: nothing
    };
    for (const Case& c : {Case{"an existing file", wav, click, wav},
                          Case{"no sound: the fallback", QString(), click, click},
                          Case{"a missing file: the fallback", missing, click, click},
                          Case{"a folder counts as missing", folder, click, click},
                          Case{"a folder without fallback", folder, QString(), QString()},
                          Case{"nothing at all", missing, missing, QString()}}) {
        SCOPED_TRACE(c.what);
        FakeSoundPlayer player;
        QObject owner;
        ReminderActions::playSoundAsync(&owner, player, c.sound.toStdString(),
                                        c.fallback.toStdString());
        ASSERT_TRUE(WaitForTasks());
        EXPECT_EQ(player.calls, c.played.isEmpty()
                                    ? QStringList{}
                                    : QStringList{QStringLiteral("play ") + c.played});
    }
}

TEST(ReminderActions, ASoundThatCannotBePlayedIsLoggedAndReplacedUnlessAnotherCameSince) {
    const QString folder = QString::fromStdString(MakeTempFolder("actions"));
    const QString wav = MakeWav(folder + "/s.wav");
    const QString broken = MakeWav(folder + "/broken.wav");
    const QString click = MakeWav(folder + "/click.wav");
    const QString brokenClick = MakeWav(folder + "/broken-click.wav");
    struct Case {
        const char* what;
        QString whenUnplayable;
        // Asked for after the broken sound started and before its failure came back.
        std::function<void(QObject*, SoundPlayer&)> since;
        QStringList played;
        QStringList logged;
    };
    const auto noMore = [](QObject*, SoundPlayer&) {};
    for (const Case& c :
         {Case{"the replacement plays", click, noMore, {broken, click}, {broken}},
          Case{"no replacement", QString(), noMore, {broken}, {broken}},
          Case{"a replacement that fails too is logged as well",
               brokenClick,
               noMore,
               {broken, brokenClick},
               {broken, brokenClick}},
          Case{"a sound asked for since is not cut off",
               click,
               [&](QObject*owner, SoundPlayer&player) {
                   ReminderActions::playSoundAsync(owner, player, wav.toStdString());
               },
               {broken, wav},
               {broken}},
          Case{"nor is a stop undone",
               click,
               [](QObject*owner, SoundPlayer&player) { ReminderActions::stopSound(owner, player); },
               {broken, "stop"},
               {broken}}}) {
        SCOPED_TRACE(c.what);
        FakeSoundPlayer player;
        player.unplayable = {broken, brokenClick};
        player.holdFailures = true;
        QObject owner;
        StderrCapture log(MakeTempFolder("log") + "/stderr.txt");
        ReminderActions::playSoundAsync(&owner, player, broken.toStdString(), {},
                                        c.whenUnplayable.toStdString());
        ASSERT_TRUE(WaitForTasks());
        c.since(&owner, player);
        ASSERT_TRUE(WaitForTasks());
        player.holdFailures = false;
        player.releaseFailures();
        const auto logged = [&] { return QString::fromStdString(log.text()); };
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return logged().count("could not play") >= c.logged.size(); }, 10000));
        QStringList played;
        for (const QString& call : player.calls)
            played << (call == "stop" ? call : call.mid(5));
        EXPECT_EQ(played, c.played);
        const QString text = logged();
        EXPECT_EQ(text.count("could not play"), c.logged.size()) << text.toStdString();
        for (const QString& path : c.logged)
            EXPECT_TRUE(text.contains("could not play " + path + ": " + FakeSoundPlayer::Reason))
                << text.toStdString();
    }
}

TEST(ReminderActions, NothingRunsOnceTheOwnerIsGone) {
    const QString wav = MakeWav(QString::fromStdString(MakeTempFolder("actions")) + "/s.wav");
    FakeSoundPlayer player;
    auto owner = std::make_unique<QObject>();
    ReminderActions::playSoundAsync(owner.get(), player, wav.toStdString());
    ReminderActions::stopSound(owner.get(), player);
    // The hand-over needs this thread's event loop, which has not run yet.
    owner.reset();
    ASSERT_TRUE(WaitForTasks());
    QCoreApplication::processEvents();
    EXPECT_TRUE(player.calls.isEmpty()) << player.calls.join(", ").toStdString();
}

TEST(ReminderActions, StopSoundStopsThePlayer) {
    FakeSoundPlayer player;
    QObject owner;
    ReminderActions::stopSound(&owner, player);
    ASSERT_TRUE(WaitForTasks());
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("stop")});
}

TEST(AsyncTask, CallbacksRunInTheOrderTheTasksStartedWhicheverFinishesFirst) {
    // The first task's work takes longest: its callback must still come first, as the
    // first of two sounds due together must not cut off the second.
    QObject owner;
    QStringList applied;
    for (const int delayMs : {300, 0, 100}) {
        AsyncTask::runThenCallback(
            &owner,
            [delayMs] {
                QThread::msleep(static_cast<unsigned long>(delayMs));
                return delayMs;
            },
            [&applied](int delay) { applied << QString::number(delay); });
    }
    ASSERT_TRUE(WaitForTasks());
    EXPECT_EQ(applied.join(QLatin1Char(',')).toStdString(), "300,0,100");
}

TEST(AsyncTask, ATaskOfAGoneOwnerDoesNotHoldBackTheOthers) {
    QObject kept;
    auto gone = std::make_unique<QObject>();
    QStringList applied;
    AsyncTask::runThenCallback(
        gone.get(), [] { return 1; }, [&applied](int) { applied << "gone"; });
    AsyncTask::runThenCallback(
        &kept, [] { return 2; }, [&applied](int) { applied << "kept"; });
    gone.reset();
    ASSERT_TRUE(WaitForTasks());
    EXPECT_EQ(applied, QStringList{"kept"});
}
} // namespace
