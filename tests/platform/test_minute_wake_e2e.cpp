// The minute wake: its timer, and logind's end of sleep on the system bus (a dbusmock logind on
// a private bus).
#include "platform/TimerMinuteWake.h"
#include "tests/platform/LogindTest.h"

#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>

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

TEST_F(MinuteWakeTest, TheEndOfASleepWakesAtOnceAndItsStartDoesNot) {
    // A timer that would not wake within the test: any wake comes from the bus.
    TimerMinuteWake wake(1h);
    QSignalSpy woke(&wake, &MinuteWake::woke);
    wake.start();
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

} // namespace
