// The minute scan over a large table: the walk with its due test, as the program runs it.
#include "NullThingsStore.h"
#include "uScanThingsThread.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

struct QuietHost final : EngineHost {
    int shown = 0;
    void RefreshCalcFields() override {}
    void ShowCurrentNote() override { ++shown; }
};

void BM_MinuteScan(benchmark::State& state) {
    int argc = 0;
    static QCoreApplication app(argc, nullptr);
    const TDateTime now = EncodeMoment(2026, 12, 9, 10, 30, 0, 400);
    TDataModule1 data(std::make_unique<NullThingsStore>());
    std::vector<ThingRow> rows;
    for (int i = 1; i <= state.range(0); ++i) {
        ThingRow r;
        r.SetInt(Col::N, i);
        r.SetInt(Col::DateOrDay, static_cast<std::int32_t>(i % 3));
        r.SetInt(Col::EMonth, i % 31 + 1);
        r.SetReal(Col::Data, EncodeMoment(2026, 12, 9) + (i % 1440) / 1440.0);
        for (Col c : {Col::Mon, Col::Wed, Col::Fri, Col::MessShow})
            r.SetInt(c, 1);
        r.SetInt(Col::AfterStart, i % 50 == 0 ? 1 : 0);
        r.SetInt(Col::MinutesAfterStart, 5);
        r.SetText(Col::Comment, "reminder " + std::to_string(i));
        rows.push_back(std::move(r));
    }
    data.table.Assign(std::move(rows));
    data.cdsThingsList.Open();
    QuietHost host;
    ReminderEngine engine(
        data, host, [&] { return now; }, now - 0.5);
    for (auto _ : state) {
        TScanThingsThread::Create(&engine);
        for (int i = 0; i < 4; ++i)
            QCoreApplication::sendPostedEvents();
    }
    state.counters["alerts"] = host.shown;
}
BENCHMARK(BM_MinuteScan)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace
