// logind's sleep delay against the dbusmock logind on the private bus: held while running,
// still held while the program is told of the sleep, let go after, taken again on waking.
#include "platform/SleepDelay.h"
#include "tests/platform/LogindTest.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using SleepDelayTest = LogindTest;

TEST_F(SleepDelayTest, HeldWhileRunningLetGoOnceTheSleepIsToldAndTakenAgainOnWaking) {
    const auto listed = [] {
        return mock_->inhibitors().find(
                   "('sleep', 'Chimewell', 'Noting the time before sleep', 'delay'") !=
               std::string::npos;
    };
    const std::unique_ptr<SleepDelay> delay = createSleepDelay();
    ASSERT_TRUE(delay);
    EXPECT_FALSE(listed());
    delay->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delay->isHolding() && listed(); }, 30000));

    // The request went after the subscription: once it is held, the sleep is heard.
    std::vector<bool> heldWhenTold;
    QObject::connect(delay.get(), &SleepDelay::aboutToSleep,
                     [&] { heldWhenTold.push_back(listed()); });
    ASSERT_TRUE(mock_->emitPrepareForSleep(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heldWhenTold.empty(); }, 30000));
    EXPECT_EQ(heldWhenTold, std::vector<bool>{true});
    EXPECT_FALSE(delay->isHolding());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !listed(); }, 30000)) << mock_->inhibitors();

    ASSERT_TRUE(mock_->emitPrepareForSleep(false));
    EXPECT_TRUE(QTest::qWaitFor([&] { return delay->isHolding() && listed(); }, 30000))
        << mock_->inhibitors();
    EXPECT_EQ(heldWhenTold.size(), 1u) << "the resume is no sleep";
}

} // namespace
