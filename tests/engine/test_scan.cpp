#include "NullThingsStore.h"
#include "uPushThingsFromQueueThread.h"
#include "uScanThingsThread.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeMoment(y, mo, d, h, mi, s, ms);
}

struct RecordingHost final : EngineHost {
    ReminderEngine* engine = nullptr;
    std::vector<std::string> delivered;
    int refreshes = 0;
    int daySteps = 0;
    std::function<void()> onShow;
    void RefreshCalcFields() override { ++refreshes; }
    void ShowCurrentNote() override {
        EXPECT_TRUE(engine->NotesThreadActive);
        delivered.push_back(engine->CurrentEvent.Comment);
        if (onShow)
            onShow();
    }
    void MinuteTickDayStep(TDateTime) override { ++daySteps; }
};

void Settle() {
    for (int i = 0; i < 50; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Program started 2026-12-09 07:30:00.
struct ScanTest : ::testing::Test {
    const TDateTime start = At(2026, 12, 9, 7, 30);
    TDateTime now = start;
    TDataModule1 data{std::make_unique<NullThingsStore>()};
    RecordingHost host;
    std::unique_ptr<ReminderEngine> engine;

    void SetUp() override {
        engine = std::make_unique<ReminderEngine>(
            data, host, [this] { return now; }, start);
        host.engine = engine.get();
        data.cdsThingsList.Open();
    }
    ThingRow Daily(const std::string& text, int h, int mi) {
        ThingRow r;
        r.SetInt(Col::N, static_cast<std::int32_t>(data.table.Count() + 1));
        r.SetInt(Col::DateOrDay, 1);
        r.SetReal(Col::Data, At(2000, 1, 1, h, mi));
        for (Col c : {Col::Mon, Col::Tue, Col::Wed, Col::Thu, Col::Fri, Col::Sat, Col::Sun})
            r.SetInt(c, 1);
        r.SetInt(Col::AfterStart, 0);
        r.SetText(Col::Comment, text);
        r.SetReal(Col::CrDate, start - 1);
        return r;
    }
    ThingRow AfterStart(const std::string& text, int minutes, TDateTime created) {
        ThingRow r = Daily(text, 0, 0);
        r.SetInt(Col::AfterStart, 1);
        r.SetInt(Col::MinutesAfterStart, minutes);
        r.SetReal(Col::CrDate, created);
        return r;
    }
    void Tick(TDateTime t) {
        now = t;
        engine->Timer1Timer();
        Settle();
    }
};

} // namespace

TEST_F(ScanTest, DueRulesAroundTheWindowAndTheMinuteBoundaries) {
    struct Case {
        const char* what;
        ThingRow row;
        TDateTime now;
        bool due;
    };
    ThingRow once;
    once = Daily("once", 0, 0);
    once.SetInt(Col::DateOrDay, 0);
    once.SetReal(Col::Data, At(2026, 12, 9, 8));
    ThingRow monthly = Daily("monthly", 8, 0);
    monthly.SetInt(Col::DateOrDay, 2);
    monthly.SetInt(Col::EMonth, 9);
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
        {"after 5 min, at 5:00", AfterStart("a", 5, start - 1), start + 300.0 / 86400, true},
        {"after 5 min, at 5:59", AfterStart("a", 5, start - 1), start + 359.5 / 86400, true},
        {"after 5 min, at 6:00", AfterStart("a", 5, start - 1), start + 360.0 / 86400, false},
        {"after 5 min, at 4:59", AfterStart("a", 5, start - 1), start + 299.0 / 86400, false},
        {"after 5 min, created in this run", AfterStart("a", 5, start + 1.0 / 86400),
         start + 310.0 / 86400, false},
        {"after 0 min, first walk", AfterStart("a", 0, start - 1), start + 1.5 / 86400, true},
        {"after 0 min, from 2 s on", AfterStart("a", 0, start - 1), start + 2.0 / 86400, false},
        {"after -1 min", AfterStart("a", -1, start - 1), start + 0.5 / 86400, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        eventParams e{};
        EXPECT_EQ(TScanThingsThread::IsDue(c.row, c.now, *engine, e), c.due);
    }
}

TEST_F(ScanTest, WalkQueuesInStoredOrderRefreshesAndDelivers) {
    data.table.Insert(Daily("zulu", 8, 0)); // stored first, last in message order
    data.table.Insert(Daily("not now", 9, 0));
    ThingRow sound = Daily("alpha", 8, 0);
    sound.SetInt(Col::Sound, 1);
    sound.SetText(Col::SPath, "/tmp/bell.wav");
    data.table.Insert(sound);
    data.table.Insert(Daily("bravo", 8, 0));

    Tick(At(2026, 12, 9, 8, 0, 0, 400));
    EXPECT_EQ(host.delivered, (std::vector<std::string>{"zulu", "alpha", "bravo"}));
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(host.daySteps, 1);
    EXPECT_FALSE(engine->NotesThreadActive);
    EXPECT_TRUE(engine->AlertQueue.empty());
    // The record carries the occurrence and the row's fields.
    EXPECT_DOUBLE_EQ(engine->CurrentEvent.D, At(2026, 12, 9, 8));
    EXPECT_EQ(engine->CurrentEvent.N, 4);

    // The same minute again, and then exactly an hour later: no walk.
    Tick(At(2026, 12, 9, 8, 0, 30));
    Tick(At(2026, 12, 9, 9, 0, 0, 400));
    EXPECT_EQ(host.refreshes, 1);
    // The next minute walks again; nothing is due, but a delivery still runs.
    Tick(At(2026, 12, 9, 9, 1, 0, 400));
    EXPECT_EQ(host.refreshes, 2);
    EXPECT_EQ(host.delivered.size(), 3u);
    EXPECT_FALSE(engine->NotesThreadActive);
}

TEST_F(ScanTest, EmptyTableStartsNoWalk) {
    Tick(At(2026, 12, 9, 8, 0, 1));
    EXPECT_EQ(host.refreshes, 0);
    EXPECT_EQ(host.daySteps, 0);
    EXPECT_EQ(engine->LastMunite, 0);
}

TEST_F(ScanTest, SecondDeliveryWhileOneDrainsLeavesTheQueueToIt) {
    engine->AlertQueue.push_back({});
    engine->AlertQueue.back().Comment = "one";
    engine->AlertQueue.push_back({});
    engine->AlertQueue.back().Comment = "two";
    bool started = false;
    host.onShow = [&] {
        if (started)
            return;
        started = true;
        // A later walk queues a record and starts its own delivery meanwhile.
        engine->AlertQueue.push_back({});
        engine->AlertQueue.back().Comment = "three";
        TPushThingsFromQueueThread::Create(engine.get());
    };
    TPushThingsFromQueueThread::Create(engine.get());
    Settle();
    EXPECT_EQ(host.delivered, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_FALSE(engine->NotesThreadActive);
}

TEST_F(ScanTest, NothingRunsAfterTheOwnerIsDestroyed) {
    for (const char* text : {"one", "two", "three"}) {
        engine->AlertQueue.push_back({});
        engine->AlertQueue.back().Comment = text;
    }
    host.onShow = [&] {
        // Posted before the delivery's next step: the engine goes away in between.
        QTimer::singleShot(0, [&] { engine.reset(); });
    };
    TPushThingsFromQueueThread::Create(engine.get());
    Settle();
    EXPECT_EQ(host.delivered, std::vector<std::string>{"one"});
}
