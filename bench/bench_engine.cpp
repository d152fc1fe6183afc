// The minute scan over a large table: the first scan of a run (which builds the due
// index), and the tick of every following minute, as the program runs them.
#include "engine/ReminderEngine.h"
#include "tests/support/FakeClock.h"
#include "tests/support/MemoryReminderStore.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

ClockReading earlier(ClockReading r, std::chrono::milliseconds by) {
    r.utc -= by;
    r.local -= by;
    r.monotonic -= by;
    return r;
}

// n reminders of every kind, many falling due on the morning of 2026-12-09.
std::vector<ReminderRow> manyReminders(std::int64_t n) {
    std::vector<ReminderRow> rows;
    for (int i = 1; i <= n; ++i) {
        Reminder r;
        r.number = i;
        r.kind = static_cast<ScheduleKind>(i % 3);
        r.monthDay = static_cast<std::uint16_t>(i % 31 + 1);
        r.moment = makeMoment(2026, 12, 9) + std::chrono::minutes(i % 1440);
        r.days = {true, false, true, false, true, false, false};
        r.showAlert = true;
        r.afterStart = i % 50 == 0;
        r.minutesAfterStart = 5;
        r.message = "reminder " + std::to_string(i);
        rows.push_back(rowFromReminder(r));
    }
    return rows;
}

QCoreApplication& App() {
    static int argc = 0;
    static QCoreApplication app(argc, nullptr);
    return app;
}

void Settle(const ReminderEngine& engine) {
    for (int i = 0; i < 4 || engine.isDelivering(); ++i)
        QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_FirstScan(benchmark::State& state) {
    App();
    const Moment now = makeMoment(2026, 12, 9, 10, 30, 0, 400);
    ReminderRepository data(std::make_unique<MemoryReminderStore>(manyReminders(state.range(0))));
    if (!data.load("things.mln"))
        state.SkipWithError("the table did not load");
    FakeClock clock(now);
    // Started a minute ago: the after-start delays of five minutes have not ended.
    const ClockReading started = earlier(clock.now(), std::chrono::minutes(1));
    int shown = 0;
    for (auto _ : state) {
        // A new engine each time, so that every scan hands its reminders out afresh.
        ReminderEngine engine(data, clock, started);
        QObject::connect(&engine, &ReminderEngine::reminderDue, [&shown] { ++shown; });
        engine.tick();
        Settle(engine);
    }
    state.counters["alerts"] = shown;
}
BENCHMARK(BM_FirstScan)->Arg(100'000)->Unit(benchmark::kMillisecond);

// One engine ticking minute after minute, each tick in the first second of its minute.
void BM_MinuteTick(benchmark::State& state) {
    App();
    ReminderRepository data(std::make_unique<MemoryReminderStore>(manyReminders(state.range(0))));
    if (!data.load("things.mln"))
        state.SkipWithError("the table did not load");
    Moment now = makeMoment(2026, 12, 9, 10, 30, 0, 400);
    FakeClock clock(now);
    ReminderEngine engine(data, clock, earlier(clock.now(), std::chrono::hours(12)));
    int shown = 0;
    QObject::connect(&engine, &ReminderEngine::reminderDue, [&shown] { ++shown; });
    engine.tick();
    Settle(engine);
    for (auto _ : state) {
        now += std::chrono::minutes(1);
        clock.set(now);
        engine.tick();
        Settle(engine);
    }
    state.counters["alerts"] = benchmark::Counter(shown, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MinuteTick)->Arg(100'000)->Unit(benchmark::kMicrosecond);

// The first scan after a night's sleep: what fell due in the eight hours slept, each
// reminder's latest occurrence there.
void BM_SkippedInASleep(benchmark::State& state) {
    ReminderRepository data(std::make_unique<MemoryReminderStore>(manyReminders(state.range(0))));
    if (!data.load("things.mln"))
        state.SkipWithError("the table did not load");
    const auto utc = [](Moment m) { return UtcInstant{m.time_since_epoch()}; };
    const UtcInstant slept = utc(makeMoment(2026, 12, 9, 0, 30));
    const UtcInstant woke = utc(makeMoment(2026, 12, 9, 8, 30)) - std::chrono::milliseconds(1);
    const TimeZoneSpan zone;
    const DeliveredOccurrences delivered;
    std::size_t found = 0;
    for (auto _ : state)
        found = skippedOccurrences(data.table(), slept, woke, zone, delivered).size();
    state.counters["skipped"] = static_cast<double>(found);
}
BENCHMARK(BM_SkippedInASleep)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace
