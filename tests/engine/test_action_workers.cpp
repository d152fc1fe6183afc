// The action workers' hand-over to the owner's thread, and the power requests, against fakes.
#include "ActionWorker.h"
#include "FakePowerService.h"
#include "FakeSoundPlayer.h"
#include "TempHome.h"
#include "uPlaySoundThread.h"
#include "uShotDownProcs.h"
#include "uStopSoundThread.h"

#include <QObject>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {
bool WaitForWorkers() {
    return QTest::qWaitFor([] { return PendingActionWorkers() == 0; }, 60000);
}

TEST(ActionWorkers, PlaySoundPlaysOnlyAnExistingFile) {
    const QString folder = QString::fromStdString(MakeTempFolder("workers"));
    const QString wav = folder + "/s.wav";
    std::ofstream(wav.toStdString()) << "RIFF";
    struct Case {
        QString path;
        bool plays;
    };
    for (const Case& c : {Case{wav, true}, Case{QString(), false},
                          Case{folder + "/missing.wav", false}, Case{folder, false}}) {
        SCOPED_TRACE(c.path.toStdString());
        FakeSoundPlayer player;
        QObject owner;
        TPlaySoundThread::Create(&owner, c.path);
        ASSERT_TRUE(WaitForWorkers());
        EXPECT_EQ(player.calls,
                  c.plays ? QStringList{QStringLiteral("play ") + c.path} : QStringList{});
    }
}

TEST(ActionWorkers, NothingRunsOnceTheOwnerIsGone) {
    const QString wav = QString::fromStdString(MakeTempFolder("workers")) + "/s.wav";
    std::ofstream(wav.toStdString()) << "RIFF";
    FakeSoundPlayer player;
    auto owner = std::make_unique<QObject>();
    TPlaySoundThread::Create(owner.get(), wav);
    TStopSoundThread::Create(owner.get());
    // The hand-over needs this thread's event loop, which has not run yet.
    owner.reset();
    ASSERT_TRUE(WaitForWorkers());
    QCoreApplication::processEvents();
    EXPECT_TRUE(player.calls.isEmpty()) << player.calls.join(", ").toStdString();
}

TEST(ActionWorkers, StopSoundStopsThePlayer) {
    FakeSoundPlayer player;
    QObject owner;
    TStopSoundThread::Create(&owner);
    ASSERT_TRUE(WaitForWorkers());
    EXPECT_EQ(player.calls, QStringList{QStringLiteral("stop")});
}

TEST(PowerRequests, FlagsChooseTheServiceCallAndItsAnswerIsReturned) {
    struct Case {
        bool (*request)();
        const char* call;
    };
    for (const Case& c : {Case{PowerOffComputer, "powerOff"}, Case{RebootComputer, "reboot"}}) {
        for (const bool answer : {true, false}) {
            SCOPED_TRACE(std::string(c.call) + (answer ? " accepted" : " refused"));
            FakePowerService power;
            power.result = answer;
            EXPECT_EQ(c.request(), answer);
            EXPECT_EQ(power.calls, std::vector<std::string>{c.call});
        }
    }
    FakePowerService power;
    EXPECT_FALSE(ExitWindowsPrivileged(0)); // log-off: not supported
    EXPECT_TRUE(power.calls.empty());
}
} // namespace
