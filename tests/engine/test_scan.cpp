#include "engine/AlertDelivery.h"
#include "engine/MinuteScan.h"
#include "tests/support/FakeClock.h"
#include "tests/support/MemoryReminderStore.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace std::chrono_literals;

Moment At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return makeMoment(y, mo, d, h, mi, s, ms);
}

void Settle() {
    for (int i = 0; i < 50; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Program started 2026-12-09 07:30:00.
struct ScanTest : ::testing::Test {
    const Moment start = At(2026, 12, 9, 7, 30);
    FakeClock clock{start};
    MemoryReminderStore* store = nullptr;
    ReminderRepository data{[this] {
        auto s = std::make_unique<MemoryReminderStore>();
        store = s.get();
        return s;
    }()};
    std::unique_ptr<ReminderEngine> engine = std::make_unique<ReminderEngine>(data, clock, start);
    std::vector<Reminder> delivered;
    std::vector<Moment> scans;
    std::vector<int> days;
    std::function<void()> onDue;

    void SetUp() override {
        QObject::connect(engine.get(), &ReminderEngine::reminderDue, [this](const Reminder& r) {
            EXPECT_TRUE(engine->isDelivering());
            delivered.push_back(r);
            if (onDue)
                onDue();
        });
        QObject::connect(engine.get(), &ReminderEngine::scanned,
                         [this](Moment now) { scans.push_back(now); });
        QObject::connect(engine.get(), &ReminderEngine::dayChanged,
                         [this](int day) { days.push_back(day); });
    }
    void Load(std::vector<ReminderRow> rows) {
        store->rows = std::move(rows);
        ASSERT_TRUE(data.load("things.mln").ok);
    }
    ReminderRow Daily(const std::string& text, int h, int mi) {
        ReminderRow r;
        r.setInteger(Col::N, static_cast<std::int32_t>(store->rows.size() + 1));
        r.setInteger(Col::DateOrDay, 1);
        r.setMoment(Col::Data, At(2000, 1, 1, h, mi));
        for (Col c : {Col::Mon, Col::Tue, Col::Wed, Col::Thu, Col::Fri, Col::Sat, Col::Sun})
            r.setInteger(c, 1);
        r.setInteger(Col::AfterStart, 0);
        r.setText(Col::Comment, text);
        r.setMoment(Col::CrDate, start - 24h);
        return r;
    }
    ReminderRow AfterStart(const std::string& text, int minutes, Moment created) {
        ReminderRow r = Daily(text, 0, 0);
        r.setInteger(Col::AfterStart, 1);
        r.setInteger(Col::MinutesAfterStart, minutes);
        r.setMoment(Col::CrDate, created);
        return r;
    }
    void Tick(Moment t) {
        clock.set(t);
        engine->tick();
        Settle();
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> v;
        for (const Reminder& r : delivered)
            v.push_back(r.message);
        return v;
    }
};

} // namespace

TEST_F(ScanTest, DueRulesAroundTheWindowAndTheMinuteBoundaries) {
    struct Case {
        const char* what;
        ReminderRow row;
        Moment now;
        bool due;
    };
    ReminderRow once = Daily("once", 0, 0);
    once.setInteger(Col::DateOrDay, 0);
    once.setMoment(Col::Data, At(2026, 12, 9, 8));
    ReminderRow monthly = Daily("monthly", 8, 0);
    monthly.setInteger(Col::DateOrDay, 2);
    monthly.setInteger(Col::EMonth, 9);
    const Moment before = start - 24h;
    const Case cases[] = {
        {"daily, half a second into its minute", Daily("d", 8, 0), At(2026, 12, 9, 8, 0, 0, 500),
         true},
        {"daily, last instant of the window", Daily("d", 8, 0), At(2026, 12, 9, 8, 0, 58, 999),
         true},
        {"daily, 59 s after: window closed", Daily("d", 8, 0), At(2026, 12, 9, 8, 0, 59, 500),
         false},
        {"daily, a second before", Daily("d", 8, 0), At(2026, 12, 9, 7, 59, 59), false},
        {"daily, next minute", Daily("d", 8, 0), At(2026, 12, 9, 8, 1, 0, 500), false},
        {"specific date in its minute", once, At(2026, 12, 9, 8, 0, 1), true},
        {"specific date already past", once, At(2026, 12, 9, 8, 5), false},
        {"monthly in its minute", monthly, At(2026, 12, 9, 8, 0, 10), true},
        {"after 5 min, at 5:00", AfterStart("a", 5, before), start + 300s, true},
        {"after 5 min, at 5:59", AfterStart("a", 5, before), start + 359500ms, true},
        {"after 5 min, at 6:00", AfterStart("a", 5, before), start + 360s, false},
        {"after 5 min, at 4:59", AfterStart("a", 5, before), start + 299s, false},
        {"after 5 min, created in this run", AfterStart("a", 5, start + 1s), start + 310s, false},
        {"after 0 min, first walk", AfterStart("a", 0, before), start + 1500ms, true},
        {"after 0 min, from 2 s on", AfterStart("a", 0, before), start + 2s, false},
        {"after -1 min", AfterStart("a", -1, before), start + 500ms, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(isDue(c.row, c.now, start, ReminderEngine::DueWindow), c.due);
    }
}

TEST_F(ScanTest, WalkQueuesInStoredOrderAnnouncesAndDelivers) {
    std::vector<ReminderRow> rows;
    auto add = [&](ReminderRow r) {
        r.setInteger(Col::N, static_cast<std::int32_t>(rows.size() + 1));
        rows.push_back(std::move(r));
    };
    add(Daily("zulu", 8, 0)); // stored first, last in message order
    add(Daily("not now", 9, 0));
    ReminderRow sound = Daily("alpha", 8, 0);
    sound.setInteger(Col::Sound, 1);
    sound.setText(Col::SPath, "/tmp/bell.wav");
    add(sound);
    add(Daily("bravo", 8, 0));
    Load(rows);

    Tick(At(2026, 12, 9, 8, 0, 0, 400));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"zulu", "alpha", "bravo"}));
    EXPECT_EQ(scans, std::vector<Moment>{At(2026, 12, 9, 8, 0, 0, 400)});
    EXPECT_EQ(days, std::vector<int>{9});
    EXPECT_FALSE(engine->isDelivering());
    // The record carries the occurrence and the row's fields.
    EXPECT_EQ(delivered.back().moment, At(2026, 12, 9, 8));
    EXPECT_EQ(delivered.back().number, 4);
    EXPECT_TRUE(delivered[1].playSound);
    EXPECT_EQ(delivered[1].soundPath, "/tmp/bell.wav");

    // The same minute again, and then exactly an hour later: no walk.
    Tick(At(2026, 12, 9, 8, 0, 30));
    Tick(At(2026, 12, 9, 9, 0, 0, 400));
    EXPECT_EQ(scans.size(), 1u);
    // The next minute walks again; nothing is due, but a delivery still runs.
    Tick(At(2026, 12, 9, 9, 1, 0, 400));
    EXPECT_EQ(scans.size(), 2u);
    EXPECT_EQ(delivered.size(), 3u);
    EXPECT_FALSE(engine->isDelivering());
    // A new day is announced once.
    Tick(At(2026, 12, 10, 0, 0, 10));
    EXPECT_EQ(days, (std::vector<int>{9, 10}));
}

TEST_F(ScanTest, EmptyOrUnloadedTableStartsNoWalk) {
    Tick(At(2026, 12, 9, 8, 0, 1)); // not loaded yet
    Load({});
    Tick(At(2026, 12, 9, 8, 1, 1));
    EXPECT_TRUE(scans.empty());
    EXPECT_TRUE(days.empty());
}

TEST_F(ScanTest, SecondDeliveryWhileOneDrainsLeavesTheQueueToIt) {
    std::vector<ReminderRow> rows{Daily("one", 8, 0), Daily("two", 8, 0), Daily("three", 8, 1)};
    rows[1].setInteger(Col::N, 2);
    rows[2].setInteger(Col::N, 3);
    Load(rows);
    bool started = false;
    onDue = [&] {
        if (started)
            return;
        started = true;
        // The next minute's scan queues a reminder and starts its own delivery meanwhile.
        clock.set(At(2026, 12, 9, 8, 1, 0, 200));
        engine->tick();
    };
    Tick(At(2026, 12, 9, 8, 0, 0, 200));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(scans.size(), 2u);
    EXPECT_FALSE(engine->isDelivering());
}

TEST_F(ScanTest, NothingRunsAfterTheEngineIsDestroyed) {
    Load({Daily("one", 8, 0), Daily("two", 8, 0), Daily("three", 8, 0)});
    onDue = [&] {
        // Posted before the delivery's next step: the engine goes away in between.
        QTimer::singleShot(0, [&] { engine.reset(); });
    };
    Tick(At(2026, 12, 9, 8, 0, 0, 200));
    EXPECT_EQ(Messages(), std::vector<std::string>{"one"});
}
