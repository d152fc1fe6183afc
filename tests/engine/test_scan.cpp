#include "engine/DueIndex.h"
#include "engine/ReminderEngine.h"
#include "tests/support/FakeClock.h"
#include "tests/support/MemoryReminderStore.h"
#include "tests/support/ZoneScope.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace std::chrono_literals;

Moment At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return makeMoment(y, mo, d, h, mi, s, ms);
}

// The rows of the reminders; those without a number get their place in the list, from 1.
std::vector<ReminderRow> Rows(std::vector<Reminder> reminders) {
    std::vector<ReminderRow> rows;
    for (std::size_t i = 0; i < reminders.size(); ++i) {
        if (reminders[i].number < 0)
            reminders[i].number = static_cast<std::int32_t>(i + 1);
        rows.push_back(rowFromReminder(reminders[i]));
    }
    return rows;
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
    std::unique_ptr<ReminderEngine> engine =
        std::make_unique<ReminderEngine>(data, clock, clock.now());
    std::vector<Reminder> delivered;
    std::vector<Moment> scans;
    std::vector<int> days;
    // What the scans after gaps reported, merged as the program merges it.
    MissedJournal skipped;
    int skippedReports = 0;
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
        QObject::connect(
            engine.get(), &ReminderEngine::skipped,
            [this](const std::vector<MissedOccurrence>& found, Moment from, Moment to) {
                ++skippedReports;
                skipped.merge(found, from, to);
            });
    }
    void Load(std::vector<Reminder> reminders) {
        store->rows = Rows(std::move(reminders));
        ASSERT_TRUE(data.load("things.mln").ok());
    }
    Reminder Daily(const std::string& text, int h, int mi) {
        Reminder r;
        r.kind = ScheduleKind::Weekly;
        r.moment = At(2000, 1, 1, h, mi);
        r.days.fill(true);
        r.message = text;
        r.created = start - 24h;
        return r;
    }
    Reminder AfterStart(const std::string& text, int minutes, Moment created) {
        Reminder r = Daily(text, 0, 0);
        r.afterStart = true;
        r.minutesAfterStart = minutes;
        r.created = created;
        return r;
    }
    void Tick(Moment t) {
        clock.set(t);
        engine->tick();
        Settle();
    }
    // Ticks every 20 seconds from the clock's moment up to `to`, as time passes.
    void RunUntil(Moment to) {
        for (Moment t = clock.now().local + 20s; t <= to; t += 20s)
            Tick(t);
    }
    // Sets the wall clock alone (the clock set, or a machine waking), then ticks.
    void WallClockTo(Moment t) {
        clock.setWallClock(UtcInstant{t.time_since_epoch()});
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

// A window in local time, which this fixture's clock has as UTC; the monotonic time
// runs with it.
ScanWindow Window(Moment from, Moment to) {
    const auto utc = [](Moment m) { return UtcInstant{m.time_since_epoch()}; };
    const auto mono = [](Moment m) {
        return std::chrono::steady_clock::time_point{m.time_since_epoch()};
    };
    return {utc(from), utc(to), mono(from), mono(to)};
}

TEST_F(ScanTest, DueRulesAroundTheWindowEdges) {
    struct Case {
        const char* what;
        Reminder reminder;
        ScanWindow window;
        bool due;
    };
    Reminder once = Daily("once", 0, 0);
    once.kind = ScheduleKind::Once;
    once.moment = At(2026, 12, 9, 8);
    Reminder monthly = Daily("monthly", 8, 0);
    monthly.kind = ScheduleKind::Monthly;
    monthly.monthDay = 9;
    const Moment before = start - 24h;
    const Moment eight = At(2026, 12, 9, 8);
    const Case cases[] = {
        {"daily, the scan half a second into its minute", Daily("d", 8, 0),
         Window(eight - 59600ms, eight + 400ms), true},
        {"daily, a scan late in its minute", Daily("d", 8, 0),
         Window(eight - 59600ms, eight + 59500ms), true},
        {"daily, scanned exactly at it", Daily("d", 8, 0), Window(eight - 1min, eight), true},
        {"daily, the scan after that", Daily("d", 8, 0), Window(eight, eight + 1min), false},
        {"daily, the next minute's scan", Daily("d", 8, 0), Window(eight + 400ms, eight + 60400ms),
         false},
        {"daily, a second before", Daily("d", 8, 0), Window(eight - 61s, eight - 1s), false},
        {"specific date in its minute", once, Window(eight - 59s, eight + 1s), true},
        {"specific date already past", once, Window(eight + 4min, eight + 5min), false},
        {"monthly in its minute", monthly, Window(eight - 50s, eight + 10s), true},
        {"after 5 min, ends in the window", AfterStart("a", 5, before),
         Window(start + 299600ms, start + 300400ms), true},
        {"after 5 min, the window after", AfterStart("a", 5, before),
         Window(start + 300400ms, start + 360400ms), false},
        {"after 5 min, the window before", AfterStart("a", 5, before),
         Window(start + 239600ms, start + 299600ms), false},
        {"after 5 min, created in this run", AfterStart("a", 5, start + 1s),
         Window(start + 299600ms, start + 300400ms), false},
        {"after 0 min, the first scan", AfterStart("a", 0, before),
         Window(start - 1ms, start + 1500ms), true},
        {"after -1 min", AfterStart("a", -1, before), Window(start - 2min, start + 1min), false},
        {"after 2147483647 min", AfterStart("a", 2147483647, before),
         Window(start, start + 24h * 365 * 150), false},
    };
    const ClockReading started = clock.now();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dueOccurrence(rowFromReminder(c.reminder), c.window, TimeZoneSpan(), started)
                      .has_value(),
                  c.due);
    }
}

// The tick's decision, with this fixture's clock (local time is UTC).
TEST(TickTest, AScanStartsWhenTheWholeMinuteChanges) {
    using std::chrono::steady_clock;
    const auto reading = [](Moment local, steady_clock::time_point mono, int offsetMinutes = 0) {
        return ClockReading{UtcInstant{local.time_since_epoch()},
                            local + std::chrono::minutes(offsetMinutes), mono};
    };
    const Moment last = At(2026, 12, 9, 8, 0, 0, 400);
    const steady_clock::time_point mono{std::chrono::hours(1000)};
    const ClockReading previous = reading(last, mono);
    const auto utc = [](Moment m) { return UtcInstant{m.time_since_epoch()}; };
    struct Case {
        const char* what;
        ClockReading now;
        bool scans;
        bool gap;
        UtcInstant from; // where the window starts (exclusive)
    };
    const Case cases[] = {
        {"same minute", reading(At(2026, 12, 9, 8, 0, 59, 900), mono + 59500ms), false, false, {}},
        {"next minute", reading(At(2026, 12, 9, 8, 1, 0, 300), mono + 59900ms), true, false,
         utc(last)},
        {"+1 h exactly (same minute number)", reading(last + 1h, mono + 1s), true, true,
         utc(At(2026, 12, 9, 9)) - 1ms},
        {"+25 h", reading(last + 25h, mono + 1s), true, true, utc(At(2026, 12, 10, 9)) - 1ms},
        {"set back an hour", reading(last - 1h, mono + 1s), true, true,
         utc(At(2026, 12, 9, 7)) - 1ms},
        {"set back into the previous minute", reading(last - 1s, mono + 1s), true, true,
         utc(At(2026, 12, 9, 7, 59)) - 1ms},
        {"the zone changed within the minute", reading(last + 10s, mono + 10s, 60), true, false,
         utc(last)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<ScanWindow> w = scanWindow(previous, c.now, mono - 1h);
        ASSERT_EQ(w.has_value(), c.scans);
        if (!w)
            continue;
        EXPECT_EQ(w->gap, c.gap);
        EXPECT_EQ(w->from, c.from);
        EXPECT_EQ(w->to, c.now.utc);
        EXPECT_EQ(w->monotonicFrom, mono);
        EXPECT_EQ(w->monotonicTo, c.now.monotonic);
    }
    // The first scan covers its own minute and the whole run so far.
    const std::optional<ScanWindow> first = scanWindow(std::nullopt, previous, mono - 1h);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->from, utc(At(2026, 12, 9, 8)) - 1ms);
    EXPECT_LT(first->monotonicFrom, mono - 1h);
    EXPECT_FALSE(first->gap);
}

TEST_F(ScanTest, WalkQueuesInStoredOrderAnnouncesAndDelivers) {
    Reminder sound = Daily("alpha", 8, 0);
    sound.playSound = true;
    sound.soundPath = "/tmp/bell.wav";
    // "zulu" stored first, last in message order.
    Load({Daily("zulu", 8, 0), Daily("not now", 9, 0), sound, Daily("bravo", 8, 0)});

    clock.set(At(2026, 12, 9, 8, 0, 0, 400));
    engine->tick();
    // The scan runs within the tick; the reminders go out one per posted step, the first
    // in the step after the tick's.
    EXPECT_EQ(scans, std::vector<Moment>{At(2026, 12, 9, 8, 0, 0, 400)});
    EXPECT_TRUE(delivered.empty());
    std::size_t deliveredBeforeNextStep = 0;
    QMetaObject::invokeMethod(
        qApp, [&] { deliveredBeforeNextStep = delivered.size(); }, Qt::QueuedConnection);
    Settle();
    EXPECT_EQ(deliveredBeforeNextStep, 1u);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"zulu", "alpha", "bravo"}));
    EXPECT_EQ(days, std::vector<int>{9});
    EXPECT_FALSE(engine->isDelivering());
    // The record carries the occurrence and the row's fields.
    EXPECT_EQ(delivered.back().moment, At(2026, 12, 9, 8));
    EXPECT_EQ(delivered.back().number, 4);
    EXPECT_TRUE(delivered[1].playSound);
    EXPECT_EQ(delivered[1].soundPath, "/tmp/bell.wav");

    // The same minute again: no walk. Exactly an hour later, the same minute number: a walk,
    // and its reminder falls due.
    Tick(At(2026, 12, 9, 8, 0, 30));
    EXPECT_EQ(scans.size(), 1u);
    Tick(At(2026, 12, 9, 9, 0, 0, 400));
    EXPECT_EQ(scans.size(), 2u);
    EXPECT_EQ(Messages().back(), "not now");
    // The next minute walks again; nothing is due, but a delivery still runs.
    Tick(At(2026, 12, 9, 9, 1, 0, 400));
    EXPECT_EQ(scans.size(), 3u);
    EXPECT_EQ(delivered.size(), 4u);
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
    Load({Daily("one", 8, 0), Daily("two", 8, 0), Daily("three", 8, 1)});
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

TEST_F(ScanTest, AClockSetBackShowsNoOccurrenceTwiceUntilTheReminderIsEdited) {
    Load({Daily("tea", 9, 30)});
    Tick(At(2026, 12, 9, 9, 29, 0, 400));
    RunUntil(At(2026, 12, 9, 9, 31));
    ASSERT_EQ(Messages(), std::vector<std::string>{"tea"});

    WallClockTo(At(2026, 12, 9, 9, 0, 0, 500)); // set back by half an hour
    RunUntil(At(2026, 12, 9, 9, 35));
    EXPECT_EQ(Messages(), std::vector<std::string>{"tea"});
    EXPECT_EQ(skippedReports, 0); // set back, nothing was skipped

    // An edited reminder is a new one: passing its minute again shows it.
    Reminder tea = reminderFromRow(data.table().rowAt(0));
    tea.message = "tea with milk";
    ASSERT_TRUE(data.saveReminder(tea, clock.now().local).ok());
    WallClockTo(At(2026, 12, 9, 9, 29, 0, 500));
    RunUntil(At(2026, 12, 9, 9, 32));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"tea", "tea with milk"}));
}

// A reminder saved after the scan of its own minute: that scan was too early for it and the
// next one starts after it.
TEST_F(ScanTest, AReminderSavedInItsOwnMinuteFallsDueAtOnceAndOnlyOnce) {
    Load({Daily("ten", 10, 0), Daily("nine", 9, 0)});
    Tick(At(2026, 12, 9, 10, 0, 0, 400));
    ASSERT_EQ(Messages(), std::vector<std::string>{"ten"});
    clock.set(At(2026, 12, 9, 10, 0, 30));

    const auto once = [](const char* message, Moment at) {
        Reminder r;
        r.isNew = true;
        r.message = message;
        r.moment = at;
        return r;
    };
    Reminder daily = once("daily, new", At(2000, 1, 1, 10, 0));
    daily.kind = ScheduleKind::Weekly;
    daily.days.fill(true);
    Reminder afterStart = once("after start", At(2026, 12, 9, 10, 0));
    afterStart.afterStart = true;
    Reminder tenEdited = reminderFromRow(data.table().rowAt(0)); // from its own alert
    tenEdited.message = "ten, edited";
    Reminder nineMoved = reminderFromRow(data.table().rowAt(1));
    nineMoved.moment = At(2000, 1, 1, 10, 0);
    nineMoved.message = "nine, moved to ten";
    const struct {
        Reminder saved;
        bool dueNow;
    } cases[] = {
        {once("once, this minute", At(2026, 12, 9, 10, 0)), true},
        {daily, true},
        {once("once, a minute ago", At(2026, 12, 9, 9, 59)), false},
        {once("once, next minute", At(2026, 12, 9, 10, 1)), false},
        {afterStart, false},
        {tenEdited, false},
        {nineMoved, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved.message);
        delivered.clear();
        const Status saved = data.saveReminder(c.saved, clock.now().local);
        ASSERT_TRUE(saved.ok());
        engine->remindersChanged();
        Settle();
        EXPECT_EQ(Messages(), c.dueNow ? std::vector<std::string>{c.saved.message}
                                       : std::vector<std::string>{});
        if (c.dueNow) {
            EXPECT_EQ(delivered[0].moment, At(2026, 12, 9, 10));
        }
        // Saved again in the same minute: it was handed out already.
        delivered.clear();
        Reminder again = *data.reminder(saved.number.value());
        again.message += " again";
        ASSERT_TRUE(data.saveReminder(again, clock.now().local).ok());
        engine->remindersChanged();
        Settle();
        EXPECT_TRUE(delivered.empty());
    }

    // The scans go on as before: the next minute's reminder then, nothing twice.
    delivered.clear();
    RunUntil(At(2026, 12, 9, 10, 2, 30));
    EXPECT_EQ(Messages(), std::vector<std::string>{"once, next minute again"});

    // Saved before the minute's scan has run: the scan hands it out, once.
    delivered.clear();
    clock.set(At(2026, 12, 9, 10, 3, 0, 100));
    ASSERT_TRUE(
        data.saveReminder(once("before the scan", At(2026, 12, 9, 10, 3)), clock.now().local).ok());
    engine->remindersChanged();
    Settle();
    EXPECT_TRUE(delivered.empty());
    Tick(At(2026, 12, 9, 10, 3, 0, 300));
    EXPECT_EQ(Messages(), std::vector<std::string>{"before the scan"});
}

TEST_F(ScanTest, AfterSleepTheWakingMinuteFallsDueAndAfterStartCountsRunningTime) {
    Load({Daily("during sleep", 8, 30), Daily("on waking", 9, 0),
          AfterStart("after five", 5, start - 24h)});
    Tick(start + 400ms);
    RunUntil(start + 3min);
    // Asleep from 07:33 to 09:00:10: the wall clock moves, the monotonic time does not.
    WallClockTo(At(2026, 12, 9, 9, 0, 10));
    EXPECT_EQ(Messages(), std::vector<std::string>{"on waking"});
    ASSERT_TRUE(engine->lastScan());
    EXPECT_EQ(engine->lastScan()->local, At(2026, 12, 9, 9, 0, 10));
    // Two more minutes of running make five.
    RunUntil(At(2026, 12, 9, 9, 4));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"on waking", "after five"}));
}

TEST_F(ScanTest, AGapJournalsWhatFellInItAndDeliversTheWakingMinute) {
    Load({Daily("nine", 9, 0), Daily("half past eleven", 11, 30),
          AfterStart("an hour after start", 60, start - 24h), Daily("eight", 8, 0)});
    Tick(At(2026, 12, 9, 8, 0, 0, 400));
    ASSERT_EQ(Messages(), std::vector<std::string>{"eight"});
    // Asleep until 11:30: the wall clock moves, the running time does not.
    WallClockTo(At(2026, 12, 9, 11, 30, 0, 300));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"eight", "half past eleven"}));
    EXPECT_EQ(skippedReports, 1);
    ASSERT_EQ(skipped.count(), 1);
    EXPECT_EQ(skipped.entries()[0].number, 1);
    EXPECT_EQ(skipped.entries()[0].occurrence, At(2026, 12, 9, 9));
    EXPECT_EQ(skipped.entries()[0].message, "nine");
    EXPECT_EQ(skipped.from(), At(2026, 12, 9, 8, 0, 0, 400));
    EXPECT_EQ(skipped.to(), At(2026, 12, 9, 11, 30, 0, 300));

    // Set back to 11:00, then forward past 11:30 again: what was handed out was not missed.
    WallClockTo(At(2026, 12, 9, 11, 0, 0, 300));
    WallClockTo(At(2026, 12, 9, 12, 0, 0, 300));
    EXPECT_EQ(skippedReports, 1);

    // A day asleep: each reminder once, at its latest occurrence.
    WallClockTo(At(2026, 12, 10, 9, 15));
    EXPECT_EQ(skippedReports, 2);
    std::vector<std::pair<std::int32_t, Moment>> entries;
    for (const MissedOccurrence& e : skipped.entries())
        entries.emplace_back(e.number, e.occurrence);
    EXPECT_EQ(entries, (std::vector<std::pair<std::int32_t, Moment>>{{1, At(2026, 12, 10, 9)},
                                                                     {4, At(2026, 12, 10, 8)}}));
    EXPECT_EQ(skipped.from(), At(2026, 12, 9, 8, 0, 0, 400));
    EXPECT_EQ(skipped.to(), At(2026, 12, 10, 9, 15));
    EXPECT_EQ(Messages().size(), 2u);
}

// --- clock changes -------------------------------------------------------------

namespace {

// The instant of a local midnight in the process's zone (not in a change).
UtcInstant LocalMidnight(int y, int mo, int d) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_isdst = -1;
    return std::chrono::time_point_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::from_time_t(std::mktime(&tm)));
}

struct ChangeDay {
    const char* zone;
    int year, month, day;
    bool spring;          // the clock skips an hour (else it repeats one)
    const char* repeated; // a reminder in the repeated hour
};

} // namespace

// A whole local day of ticks across each change in both zones: every reminder whose minute
// the clock skips or shows twice falls due exactly once, in the minute it is reached.
TEST_F(ScanTest, ADayAcrossAClockChangeGivesEveryReminderExactlyOnce) {
    const ChangeDay changes[] = {
        {"Europe/Berlin", 2026, 3, 29, true, nullptr},          // 02:00 -> 03:00
        {"Europe/Berlin", 2026, 10, 25, false, "daily 2:30"},   // 03:00 -> 02:00
        {"America/New_York", 2026, 3, 8, true, nullptr},        // 02:00 -> 03:00
        {"America/New_York", 2026, 11, 1, false, "daily 1:30"}, // 02:00 -> 01:00
    };
    for (const ChangeDay& change : changes) {
        SCOPED_TRACE(std::string(change.zone) + (change.spring ? " spring" : " autumn"));
        const ZoneScope zone(change.zone);
        const UtcInstant midnight = LocalMidnight(change.year, change.month, change.day);
        FakeClock zoned = FakeClock::inZone(midnight);
        const Moment day = makeMoment(change.year, change.month, change.day);

        std::vector<Reminder> reminders;
        auto add = [&](const std::string& text, int h, int mi, ScheduleKind kind,
                       bool sundaysOnly = false) {
            Reminder r = Daily(text, h, mi);
            r.kind = kind;
            if (kind == ScheduleKind::Once)
                r.moment = day + std::chrono::hours(h) + std::chrono::minutes(mi);
            if (sundaysOnly) // every change day here is a Sunday
                r.days = {false, false, false, false, false, false, true};
            r.monthDay = static_cast<std::uint16_t>(change.day);
            reminders.push_back(r);
        };
        for (int h : {1, 2, 3})
            for (int mi : {0, 30})
                add("daily " + std::to_string(h) + ":" + std::to_string(mi), h, mi,
                    ScheduleKind::Weekly);
        add("sunday 2:30", 2, 30, ScheduleKind::Weekly, true);
        add("sunday 1:30", 1, 30, ScheduleKind::Weekly, true);
        add("monthly 2:30", 2, 30, ScheduleKind::Monthly);
        add("monthly 1:30", 1, 30, ScheduleKind::Monthly);
        add("once 2:30", 2, 30, ScheduleKind::Once);
        add("once 1:30", 1, 30, ScheduleKind::Once);
        for (int minutes : {90, 150})
            reminders.push_back(AfterStart("after " + std::to_string(minutes), minutes, day - 24h));
        ReminderRepository dayData(std::make_unique<MemoryReminderStore>(Rows(reminders)));
        ASSERT_TRUE(dayData.load("things.mln").ok());
        ReminderEngine dayEngine(dayData, zoned, zoned.now());
        struct Alert {
            Reminder reminder;
            Moment shownAt;
            UtcInstant shownAtUtc;
        };
        std::map<std::string, std::vector<Alert>> alerts;
        QObject::connect(&dayEngine, &ReminderEngine::reminderDue, [&](const Reminder& r) {
            alerts[r.message].push_back({r, zoned.now().local, zoned.now().utc});
        });
        // A change of the local time is no gap.
        QObject::connect(&dayEngine, &ReminderEngine::skipped,
                         [](const auto&...) { ADD_FAILURE() << "a gap was reported"; });
        // Every 20 seconds until the local day is over.
        for (UtcInstant t = midnight; zoned.now().local < day + 24h; t += 20s) {
            zoned.setUtc(t);
            dayEngine.tick();
            Settle();
        }
        for (const Reminder& r : reminders) {
            const std::string& text = r.message;
            ASSERT_EQ(alerts[text].size(), 1u) << text;
            const Alert& a = alerts[text].front();
            // Shown in the minute it is reached.
            if (!a.reminder.afterStart) {
                EXPECT_EQ(std::chrono::floor<std::chrono::minutes>(a.shownAt), a.reminder.moment)
                    << text;
            }
        }
        // A 02:30 reminder on the day the clock skips 02:00-03:00 is reached at 03:00.
        const Moment reached = alerts["daily 2:30"].front().reminder.moment;
        EXPECT_EQ(reached, day + (change.spring ? 3h : 2h + 30min));
        // In the repeated hour, the first time its minute is shown: an hour later it is again.
        if (change.repeated) {
            const Alert& a = alerts[change.repeated].front();
            EXPECT_EQ(
                std::chrono::floor<std::chrono::minutes>(zoned.localMoment(a.shownAtUtc + 1h)),
                std::chrono::floor<std::chrono::minutes>(a.shownAt));
        }
        // After-start delays run on the monotonic clock: 150 minutes after local midnight.
        EXPECT_EQ(std::chrono::floor<std::chrono::minutes>(alerts["after 150"].front().shownAt),
                  zoned.localMoment(midnight + 150min));
    }
}

// --- the due index ---------------------------------------------------------------

TEST_F(ScanTest, TheIndexGivesOnlyTheRowsWhoseMomentHasComeAndFollowsEdits) {
    std::vector<Reminder> reminders;
    for (int mi = 0; mi < 60; ++mi)
        reminders.push_back(Daily("at 8:" + std::to_string(mi), 8, mi));
    Load(reminders);
    const ClockReading started = clock.now();
    DueIndex index(started);
    std::optional<ClockReading> last;
    const auto take = [&](Moment t) {
        clock.set(t);
        const ClockReading now = clock.now();
        const ScanWindow window = *scanWindow(last, now, started.monotonic);
        last = now;
        return index.takeDue(data.table(), window, now, clock);
    };
    EXPECT_EQ(take(At(2026, 12, 9, 8, 0, 0, 400)), std::vector<std::size_t>{0});
    EXPECT_EQ(take(At(2026, 12, 9, 8, 1, 0, 300)), std::vector<std::size_t>{1});
    EXPECT_EQ(index.size(), 60u) << "the rows taken went back with their next day";

    // A reminder moved to 08:02 and one deleted are followed.
    Reminder moved = *data.reminder(31);
    moved.moment = At(2000, 1, 1, 8, 2);
    ASSERT_TRUE(data.saveReminder(moved, clock.now().local).ok());
    ASSERT_TRUE(data.deleteReminder(4)); // 08:03
    // (Stored indexes after the deletion.)
    EXPECT_EQ(take(At(2026, 12, 9, 8, 2, 0, 300)), (std::vector<std::size_t>{2, 29}));
    EXPECT_TRUE(take(At(2026, 12, 9, 8, 3, 0, 300)).empty());
    // A gap (the machine slept) rebuilds it: only the waking minute's row comes out.
    EXPECT_EQ(take(At(2026, 12, 9, 8, 40, 0, 300)), std::vector<std::size_t>{39});
}

// Minute after minute, with edits, a clock set back and forth and a sleep, the engine hands
// out exactly what a walk over every row with the same rules finds.
TEST_F(ScanTest, TheIndexedScanAgreesWithAWalkOverEveryRow) {
    std::mt19937 random(20261209);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto randomReminder = [&](int number) {
        Reminder r = Daily("r" + std::to_string(number), pick(24), pick(60));
        r.number = number;
        const int kind = pick(4);
        if (kind == 0) {
            r.kind = ScheduleKind::Once;
            r.moment = At(2026, 12, 9 + pick(3), pick(24), pick(60));
        } else if (kind == 1) {
            const bool none = pick(8) == 0; // a weekly one without weekdays is due every day
            for (bool& d : r.days)
                d = !none && pick(2) == 1;
        } else if (kind == 2) {
            r.kind = ScheduleKind::Monthly;
            r.monthDay = static_cast<std::uint16_t>(9 + pick(3));
        } else {
            r.afterStart = true;
            r.minutesAfterStart = pick(3000) - 5;
            r.created = pick(10) == 0 ? start + 1h : start - 1h;
        }
        return r;
    };
    std::vector<Reminder> reminders;
    for (int i = 1; i <= 400; ++i)
        reminders.push_back(randomReminder(i));
    Load(reminders);

    const ClockReading started = clock.now();
    DeliveredOccurrences seen;
    std::optional<ClockReading> last;
    std::vector<std::string> expected;
    const auto walk = [&] {
        const std::optional<ScanWindow> w = scanWindow(last, clock.now(), started.monotonic);
        if (!w)
            return;
        last = clock.now();
        for (std::size_t i = 0; i < data.table().count(); ++i) {
            const ReminderRow& row = data.table().rowAt(i);
            const auto due = dueOccurrence(row, *w, TimeZoneSpan(), started);
            if (!due || (!row.isAfterStart() && seen.contains(row, due->instant)))
                continue;
            if (!row.isAfterStart())
                seen.add(row, due->instant);
            expected.push_back(row.message());
        }
    };
    int number = 400;
    Moment t = start;
    for (int step = 0; step < 2 * 24 * 60 * 3; ++step) {
        t += 20s;
        if (step == 2000)
            t -= 45min; // the clock set back
        if (step == 5000)
            t += 5h; // set forward
        if (step % 97 == 0) {
            // An edit, a new reminder or a deletion between ticks.
            const int what = pick(3);
            if (what == 0) {
                Reminder r = randomReminder(0);
                r.isNew = true;
                ASSERT_TRUE(data.saveReminder(r, clock.now().local).ok());
                ++number;
            } else if (what == 1) {
                const int n = 1 + pick(number);
                if (data.reminder(n)) {
                    Reminder r = randomReminder(n);
                    ASSERT_TRUE(data.saveReminder(r, clock.now().local).ok());
                }
            } else {
                data.deleteReminder(1 + pick(number));
            }
        }
        if (step == 7000) {
            WallClockTo(t); // asleep: the monotonic time stands still
        } else {
            clock.set(t);
            engine->tick();
            Settle();
        }
        walk();
        ASSERT_EQ(Messages(), expected) << "step " << step;
    }
    EXPECT_GT(expected.size(), 300u);
}
