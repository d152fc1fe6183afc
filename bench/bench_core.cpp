// Occurrence calculation and the table file with many reminders.
#include "uDataModule.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

const TDateTime Now = EncodeMoment(2026, 12, 9, 10, 30, 15);
constexpr WeekDays MonWedFri{true, false, true, false, true, false, false};

void BM_NextEventTime(benchmark::State& state) {
    const auto kind = static_cast<std::uint16_t>(state.range(0));
    const TDateTime d = EncodeMoment(2026, 12, 31, 9, 15);
    TDateTime now = Now;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NextEventTime(kind, 31, d, MonWedFri, true, now));
        now += 1.0 / 1440; // a minute on, so no call repeats the previous
    }
}
BENCHMARK(BM_NextEventTime)->Arg(0)->Arg(1)->Arg(2)->ArgName("kind");

ThingRow Row(int i) {
    ThingRow r;
    r.SetInt(Col::N, i);
    r.SetInt(Col::DateOrDay, static_cast<std::int32_t>(i % 3));
    r.SetInt(Col::EMonth, i % 31 + 1);
    r.SetReal(Col::Data, Now + (i % 1440) / 1440.0);
    for (Col c : {Col::Mon, Col::Wed, Col::Fri, Col::MessShow, Col::Sound})
        r.SetInt(c, 1);
    for (Col c : {Col::Tue, Col::Thu, Col::Sat, Col::Sun, Col::Anim, Col::RunProg, Col::WSound,
                  Col::AfterStart, Col::Special, Col::Shutdown})
        r.SetInt(c, 0);
    r.SetInt(Col::MinutesAfterStart, 0);
    r.SetText(Col::Comment, "reminder number " + std::to_string(i));
    r.SetText(Col::SPath, "/home/user/sounds/bell.wav");
    r.SetText(Col::PPath, "");
    r.SetReal(Col::CrDate, Now);
    return r;
}

std::vector<ThingRow> Rows(int n) {
    std::vector<ThingRow> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i)
        rows.push_back(Row(i));
    return rows;
}

void BM_NextTimeOfEveryRow(benchmark::State& state) {
    ThingsTable table;
    table.Assign(Rows(static_cast<int>(state.range(0))));
    ThingsCursor cursor(table, CursorOrder::Stored);
    cursor.Open();
    for (auto _ : state) {
        double sum = 0;
        for (cursor.First(); !cursor.Eof(); cursor.Next())
            sum += RowNextTime(*cursor.Current(), Now);
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
    SqliteThingsStore store;
    for (auto _ : state)
        store.Save(path, rows);
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveTable)->Arg(10'000)->Unit(benchmark::kMillisecond);

void BM_LoadTable(benchmark::State& state) {
    const std::string path = TempFile();
    SqliteThingsStore store;
    store.Save(path, Rows(static_cast<int>(state.range(0))));
    std::vector<ThingRow> rows;
    for (auto _ : state)
        store.Load(path, rows);
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadTable)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace
