#include "engine/AsyncTask.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <cstdint>
#include <map>

namespace {

struct Task {
    QPointer<QObject> context;
    std::function<void()> apply;
    bool done = false;
};

// Tasks by start number, kept until every earlier one was applied or dropped. GUI thread only.
std::map<std::uint64_t, Task>& tasks() {
    static std::map<std::uint64_t, Task> all;
    return all;
}
std::uint64_t nextNumber = 0;

void applyFinishedInOrder() {
    auto& all = tasks();
    while (!all.empty() && all.begin()->second.done) {
        Task task = std::move(all.begin()->second);
        all.erase(all.begin());
        if (task.context)
            task.apply();
    }
}

} // namespace

namespace AsyncTask {

void detail::start(QObject* context, std::function<void()> work, std::function<void()> apply) {
    QObject* app = QCoreApplication::instance();
    if (app == nullptr)
        return;
    const std::uint64_t number = nextNumber++;
    tasks().emplace(number, Task{context != nullptr ? context : app, std::move(apply)});
    QThread* thread = QThread::create(std::move(work));
    // Queued to the application's (GUI) thread, after the work is done.
    QObject::connect(thread, &QThread::finished, app, [number] {
        tasks()[number].done = true;
        applyFinishedInOrder();
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

int pendingCount() {
    return static_cast<int>(tasks().size());
}

} // namespace AsyncTask
