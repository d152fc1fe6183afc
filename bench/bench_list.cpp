// The reminder list with many reminders: the first reading (a collation key per
// message, then a sort by keys) and a reading again after one reminder changed.
#include "tests/support/MemoryReminderStore.h"
#include "ui/main/ReminderListModel.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const Moment Now = makeMoment(2026, 12, 9, 10, 30, 15);

// Messages in two scripts and mixed case, so that the collation has work to do.
std::vector<ReminderRow> Rows(int n) {
    static const char* const words[] = {"Яблоко", "apple", "арбуз", "Banana", "tea", "Чай"};
    std::vector<ReminderRow> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        ReminderRow r;
        r.setInteger(Col::N, i);
        r.setText(Col::Comment, std::string(words[i % 6]) + " " + std::to_string(i * 7919 % n));
        rows.push_back(std::move(r));
    }
    return rows;
}

std::unique_ptr<ReminderRepository> Loaded(int n) {
    auto data =
        std::make_unique<ReminderRepository>(std::make_unique<MemoryReminderStore>(Rows(n)));
    if (!data->load("things.mln"))
        return nullptr;
    return data;
}

void BM_ListFirstReading(benchmark::State& state) {
    const auto data = Loaded(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ReminderListModel model(*data, nullptr, QLocale(QLocale::English));
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_ListFirstReading)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_ListReadingAfterOneChange(benchmark::State& state) {
    const auto data = Loaded(static_cast<int>(state.range(0)));
    ReminderListModel model(*data, nullptr, QLocale(QLocale::English));
    Reminder changed = *data->reminder(1);
    int round = 0;
    for (auto _ : state) {
        changed.message = "changed " + std::to_string(++round);
        benchmark::DoNotOptimize(data->saveReminder(changed, Now).saved);
        model.reload();
    }
}
BENCHMARK(BM_ListReadingAfterOneChange)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace
