// The reminder list with many reminders: the message order made after a load (a
// collation key per message, then a sort by keys), the list read again after one
// reminder changed, and the first opening of the list as "Open list..." builds and
// shows the main window over a loaded table whose order was made.
#include "app/Reminders.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/MemoryReminderStore.h"
#include "tests/support/TempHome.h"
#include "ui/editor/ReminderEditors.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MessageOrder.h"
#include "ui/main/ReminderListModel.h"
#include "ui/main/ReminderListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

const Moment Now = makeMoment(2026, 12, 9, 10, 30, 15);

// Messages in two scripts and mixed case, so that the collation has work to do;
// weekly and monthly schedules spread over the day, as a large table has them.
std::vector<ReminderRow> Rows(int n) {
    static const char* const words[] = {"Яблоко", "apple", "арбуз", "Banana", "tea", "Чай"};
    std::vector<ReminderRow> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        Reminder r;
        r.number = i;
        r.message = std::string(words[i % 6]) + " " + std::to_string(i * 7919 % n);
        r.kind = static_cast<ScheduleKind>(1 + i % 2);
        r.moment = makeMoment(2026, 12, 9) + std::chrono::minutes(i % 1440);
        r.monthDay = static_cast<std::uint16_t>(1 + i % 28);
        r.days = {true, false, true, false, true, false, false};
        r.showAlert = true;
        rows.push_back(rowFromReminder(r));
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

void BM_MessageOrderAtLoad(benchmark::State& state) {
    const auto data = Loaded(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        MessageOrder order(data->table(), QLocale(QLocale::English));
        order.update();
        benchmark::DoNotOptimize(order.entries().data());
    }
}
BENCHMARK(BM_MessageOrderAtLoad)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_ListReadingAfterOneChange(benchmark::State& state) {
    const auto data = Loaded(static_cast<int>(state.range(0)));
    MessageOrder order(data->table(), QLocale(QLocale::English));
    ReminderListModel model(*data, order);
    Reminder changed = *data->reminder(1);
    int round = 0;
    for (auto _ : state) {
        changed.message = "changed " + std::to_string(++round);
        benchmark::DoNotOptimize(data->saveReminder(changed, Now).ok());
        model.reload();
    }
}
BENCHMARK(BM_ListReadingAfterOneChange)->Arg(100'000)->Unit(benchmark::kMillisecond);

// Counts the paintings of a widget.
class PaintCounter final : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

// The first "Open list..." over a loaded table: the main window built as the program
// builds it, shown, and the list drawn once.
void BM_OpenList(benchmark::State& state) {
    const FakeClock clock(Now);
    Reminders reminders(
        clock, std::make_unique<MemoryReminderStore>(Rows(static_cast<int>(state.range(0)))));
    reminders.load();
    if (!reminders.waitForFile() || !reminders.isLoaded()) {
        state.SkipWithError("the reminders were not loaded");
        return;
    }
    FakeSoundPlayer player;
    const ReminderEditors editors(reminders, player);
    MessageOrder order(reminders.repository().table());
    order.update(); // as the program does after the load
    for (auto _ : state) {
        auto window = std::make_unique<MainWindow>(editors, order);
        window->remindersLoaded();
        PaintCounter painted;
        window->listView()->viewport()->installEventFilter(&painted);
        window->showList();
        QElapsedTimer waited;
        waited.start();
        while (painted.count == 0 && waited.elapsed() < 10'000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (painted.count == 0)
            state.SkipWithError("the list was not drawn");
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenList)->Arg(0)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InstallTempHome();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
