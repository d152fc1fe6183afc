// Occurrence calculation and the table file with many reminders.
#include "core/Occurrence.h"
#include "core/ReminderRepository.h"

#include <benchmark/benchmark.h>

#include <chrono>
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

void BM_CreateTable(benchmark::State& state) {
    const auto rows = Rows(static_cast<int>(state.range(0)));
    const std::string path = TempFile();
    SqliteReminderStore store;
    for (auto _ : state) {
        std::filesystem::remove(path);
        benchmark::DoNotOptimize(store.create(path, rows).ok());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_CreateTable)->Arg(10'000)->Unit(benchmark::kMillisecond);

// One reminder edited and saved, as the editor's OK does: the GUI thread changes the table
// and takes copies of what changed ("gui_ms"); the file's worker writes them into the file
// ("worker_ms").
void BM_EditOneReminder(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string path = TempFile();
    std::filesystem::remove(path);
    if (!SqliteReminderStore().create(path, Rows(count)))
        state.SkipWithError("the table was not written");
    ReminderRepository data;
    if (!data.load(path))
        state.SkipWithError("the table was not read");
    using Clock = std::chrono::steady_clock;
    Clock::duration gui{}, worker{};
    int i = 0;
    for (auto _ : state) {
        const std::int32_t number = 1 + (i * 7919) % count; // spread over the table
        Reminder edited = *data.reminder(number);
        edited.isNew = false;
        edited.message = "edited " + std::to_string(i++);
        const auto start = Clock::now();
        benchmark::DoNotOptimize(data.saveReminder(edited, Now).ok());
        PendingSave save = data.takeUnsaved();
        const auto handedOver = Clock::now();
        const Status written = data.writeFile(path, save);
        worker += Clock::now() - handedOver;
        gui += handedOver - start;
        if (!data.takeWritten(path, std::move(save), written))
            state.SkipWithError("the change was not written");
    }
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    state.counters["gui_ms"] = benchmark::Counter(ms(gui), benchmark::Counter::kAvgIterations);
    state.counters["worker_ms"] =
        benchmark::Counter(ms(worker), benchmark::Counter::kAvgIterations);
    std::filesystem::remove(path);
}
BENCHMARK(BM_EditOneReminder)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_LoadTable(benchmark::State& state) {
    const std::string path = TempFile();
    SqliteReminderStore store;
    std::filesystem::remove(path);
    if (!store.create(path, Rows(static_cast<int>(state.range(0)))))
        state.SkipWithError("the table was not written");
    std::vector<ReminderRow> rows;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.load(path, rows).ok());
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadTable)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace
