#include "engine/SerialWorker.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

// Work runs on one thread other than the GUI's, one piece at a time, in the order given; the
// callbacks run on the GUI thread in the same order, and not for a context that is gone.
TEST(SerialWorkerTest, WorkRunsOneAtATimeInOrderAndCallbacksFollowOnTheGuiThread) {
    SerialWorker worker;
    QObject context;
    auto gone = std::make_unique<QObject>();
    std::atomic<int> running = 0, mostAtOnce = 0;
    std::vector<int> results;
    bool goneCalled = false;
    for (int i = 0; i < 20; ++i) {
        worker.run(
            &context,
            [&, i] {
                mostAtOnce = std::max(mostAtOnce.load(), ++running);
                EXPECT_NE(QThread::currentThread(), QCoreApplication::instance()->thread());
                std::this_thread::sleep_for(
                    std::chrono::milliseconds(20 - i)); // later ones quicker
                --running;
                return i;
            },
            [&](int i) {
                EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
                results.push_back(i);
            });
        if (i == 10)
            worker.run(
                gone.get(), [] { return 0; }, [&](int) { goneCalled = true; });
    }
    gone.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 20; }, 20000));
    EXPECT_EQ(mostAtOnce.load(), 1);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(results[static_cast<std::size_t>(i)], i);
    EXPECT_FALSE(goneCalled);
    EXPECT_FALSE(worker.busy());
}

// finish() waits for the work given and runs its callbacks at once, without the event loop;
// work still running at the limit is left to itself, and finish() says so.
TEST(SerialWorkerTest, FinishWaitsUpToItsLimit) {
    QObject context;
    {
        SerialWorker worker;
        bool called = false;
        worker.run(
            &context,
            [] {
                std::this_thread::sleep_for(50ms);
                return true;
            },
            [&](bool) { called = true; });
        EXPECT_TRUE(worker.finish(10s));
        EXPECT_TRUE(called);
    }
    auto release = std::make_shared<std::atomic<bool>>(false);
    SerialWorker stuck;
    bool called = false;
    stuck.run(
        &context,
        [release] {
            while (!*release)
                std::this_thread::sleep_for(1ms);
            return true;
        },
        [&](bool) { called = true; });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(stuck.finish(200ms));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(called);
    *release = true;
}
