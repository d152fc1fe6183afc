// The minute wakes: the one-second timer, the timerfd at the wall clock's minutes, and
// logind's end of sleep on the system bus (a dbusmock logind on a private bus).
#include "platform/TimerFdMinuteWake.h"
#include "platform/TimerMinuteWake.h"
#include "tests/platform/LogindTest.h"

#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

using MinuteWakeTest = LogindTest;

TEST_F(MinuteWakeTest, TheTimerWakesAgainAndAgainOnceStarted) {
    TimerMinuteWake wake(10ms);
    QSignalSpy woke(&wake, &MinuteWake::woke);
    EXPECT_FALSE(wake.isActive());
    QTest::qWait(50); // long enough for several intervals
    EXPECT_EQ(woke.count(), 0);
    wake.start();
    EXPECT_TRUE(wake.isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return woke.count() >= 3; }, 20000));
}

// Sleeps until the next minute of the wall clock, wakes in its first second, and sleeps again.
TEST_F(MinuteWakeTest, TheTimerFdWakesAtTheNextMinuteOnly) {
    const std::unique_ptr<TimerFdMinuteWake> wake = TimerFdMinuteWake::create();
    ASSERT_TRUE(wake);
    std::vector<std::chrono::system_clock::time_point> wakes;
    QObject::connect(wake.get(), &MinuteWake::woke,
                     [&] { wakes.push_back(std::chrono::system_clock::now()); });
    EXPECT_FALSE(wake->isActive());
    wake->start();
    EXPECT_TRUE(wake->isActive());
    const auto started = std::chrono::system_clock::now();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wakes.empty(); }, 90000));
    const auto minute = std::chrono::ceil<std::chrono::minutes>(started);
    EXPECT_GE(wakes.front(), minute);
    EXPECT_LT(wakes.front(), minute + 5s) << "a loaded machine may be late, but not by much";
    QTest::qWait(2000);
    EXPECT_EQ(wakes.size(), 1u) << "woke again before the next minute";
}

class EveryWakeTest : public LogindTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EveryWakeTest, TheEndOfASleepWakesAtOnceAndItsStartDoesNot) {
    // Timers that would not wake within the test: any wake comes from the bus.
    std::unique_ptr<MinuteWake> wakeOwned;
    if (GetParam())
        wakeOwned = TimerFdMinuteWake::create();
    else
        wakeOwned = std::make_unique<TimerMinuteWake>(1h);
    ASSERT_TRUE(wakeOwned);
    MinuteWake& wake = *wakeOwned;
    QSignalSpy woke(&wake, &MinuteWake::woke);
    wake.start();
    if (GetParam()) {
        // The timerfd's own minute is never more than a minute away: wait past it.
        ASSERT_TRUE(QTest::qWaitFor([&] { return woke.count() > 0; }, 90000));
        woke.clear();
    }
    // The subscription reaches the bus in its own time: resume until it is heard.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            EXPECT_TRUE(mock_->emitPrepareForSleep(false));
            return QTest::qWaitFor([&] { return woke.count() > 0; }, 1000);
        },
        30000));
    woke.clear();
    // Signals arrive in order: once the resume's wake is in, the sleep's is too, if any.
    ASSERT_TRUE(mock_->emitPrepareForSleep(true));
    ASSERT_TRUE(mock_->emitPrepareForSleep(false));
    EXPECT_TRUE(QTest::qWaitFor([&] { return woke.count() > 0; }, 20000));
    QCoreApplication::processEvents();
    EXPECT_EQ(woke.count(), 1);
}
INSTANTIATE_TEST_SUITE_P(TimerAndTimerFd, EveryWakeTest, ::testing::Bool());

} // namespace
