// Occurrence calculation and the table file with many reminders.
#include "core/Occurrence.h"
#include "core/ReminderRepository.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

const Moment Now = makeMoment(2026, 12, 9, 10, 30, 15);
constexpr WeekDays MonWedFri{true, false, true, false, true, false, false};

void BM_NextOccurrence(benchmark::State& state) {
    const auto kind = static_cast<ScheduleKind>(state.range(0));
    const Moment d = makeMoment(2026, 12, 31, 9, 15);
    Moment now = Now;
    for (auto _ : state) {
        // As the minute scan asks: a minute back from now.
        benchmark::DoNotOptimize(
            nextOccurrence(kind, 31, d, MonWedFri, now - std::chrono::minutes(1)));
        now += std::chrono::minutes(1); // a minute on, so no call repeats the previous
    }
}
BENCHMARK(BM_NextOccurrence)->Arg(0)->Arg(1)->Arg(2)->ArgName("kind");

ReminderRow Row(int i) {
    ReminderRow r;
    r.setInteger(Col::N, i);
    r.setInteger(Col::DateOrDay, static_cast<std::int32_t>(i % 3));
    r.setInteger(Col::EMonth, i % 31 + 1);
    r.setReal(Col::Data, toDayCount(Now) + (i % 1440) / 1440.0);
    for (Col c : {Col::Mon, Col::Wed, Col::Fri, Col::MessShow, Col::Sound})
        r.setInteger(c, 1);
    for (Col c : {Col::Tue, Col::Thu, Col::Sat, Col::Sun, Col::Anim, Col::RunProg, Col::WSound,
                  Col::AfterStart, Col::Special, Col::Shutdown})
        r.setInteger(c, 0);
    r.setInteger(Col::MinutesAfterStart, 0);
    r.setText(Col::Comment, "reminder number " + std::to_string(i));
    r.setText(Col::SPath, "/home/user/sounds/bell.wav");
    r.setText(Col::PPath, "");
    r.setMoment(Col::CrDate, Now);
    return r;
}

std::vector<ReminderRow> Rows(int n) {
    std::vector<ReminderRow> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i)
        rows.push_back(Row(i));
    return rows;
}

void BM_NextTimeOfEveryRow(benchmark::State& state) {
    ReminderTable table;
    table.assign(Rows(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (std::size_t i = 0; i < table.count(); ++i)
            sum += rowNextOccurrence(table.rowAt(i), Now).time_since_epoch().count();
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_NextTimeOfEveryRow)->Arg(100'000)->Unit(benchmark::kMillisecond);

std::string TempFile() {
    return (std::filesystem::temp_directory_path() /
            ("chimewell-bench-" + std::to_string(::getpid()) + ".mln"))
        .string();
}

void BM_SaveTable(benchmark::State& state) {
    const auto rows = Rows(static_cast<int>(state.range(0)));
    const std::string path = TempFile();
    SqliteReminderStore store;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.save(path, rows).ok);
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveTable)->Arg(10'000)->Unit(benchmark::kMillisecond);

void BM_LoadTable(benchmark::State& state) {
    const std::string path = TempFile();
    SqliteReminderStore store;
    if (!store.save(path, Rows(static_cast<int>(state.range(0)))))
        state.SkipWithError("the table was not written");
    std::vector<ReminderRow> rows;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.load(path, rows).ok);
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadTable)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace
