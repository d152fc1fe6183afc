// The minute scan over a large table: the walk with its due test, as the program runs it.
#include "engine/MinuteScan.h"
#include "tests/support/FakeClock.h"
#include "tests/support/MemoryReminderStore.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

void BM_MinuteScan(benchmark::State& state) {
    int argc = 0;
    static QCoreApplication app(argc, nullptr);
    const Moment now = makeMoment(2026, 12, 9, 10, 30, 0, 400);
    std::vector<ReminderRow> rows;
    for (int i = 1; i <= state.range(0); ++i) {
        ReminderRow r;
        r.setInteger(Col::N, i);
        r.setInteger(Col::DateOrDay, static_cast<std::int32_t>(i % 3));
        r.setInteger(Col::EMonth, i % 31 + 1);
        r.setReal(Col::Data, toDayCount(makeMoment(2026, 12, 9)) + (i % 1440) / 1440.0);
        for (Col c : {Col::Mon, Col::Wed, Col::Fri, Col::MessShow})
            r.setInteger(c, 1);
        r.setInteger(Col::AfterStart, i % 50 == 0 ? 1 : 0);
        r.setInteger(Col::MinutesAfterStart, 5);
        r.setText(Col::Comment, "reminder " + std::to_string(i));
        rows.push_back(std::move(r));
    }
    ReminderRepository data(std::make_unique<MemoryReminderStore>(std::move(rows)));
    if (!data.load("things.mln"))
        state.SkipWithError("the table did not load");
    FakeClock clock(now);
    ReminderEngine engine(data, clock, now - std::chrono::hours(12));
    int shown = 0;
    QObject::connect(&engine, &ReminderEngine::reminderDue, [&shown] { ++shown; });
    for (auto _ : state) {
        MinuteScan::start(&engine, now);
        for (int i = 0; i < 4; ++i)
            QCoreApplication::sendPostedEvents();
    }
    state.counters["alerts"] = shown;
}
BENCHMARK(BM_MinuteScan)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace
