#pragma once
// Work that may block (testing a file on a slow drive, starting a sound) runs on a
// worker thread; its result is handed to a callback on the context object's (GUI)
// thread. Callbacks run in the order their tasks were started, whichever work
// finishes first, and never once the context is destroyed.

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace AsyncTask {

namespace detail {
// Runs work on a new thread; then, in start order, apply on context's thread.
void start(QObject* context, std::function<void()> work, std::function<void()> apply);
} // namespace detail

// Runs work() on a worker thread, then callback(result) through context's event loop.
// A null context stands for the application object.
template <typename Work, typename Callback>
void runThenCallback(QObject* context, Work work, Callback callback) {
    using Result = decltype(work());
    auto result = std::make_shared<std::optional<Result>>();
    detail::start(
        context, [result, work = std::move(work)]() mutable { result->emplace(work()); },
        [result, callback = std::move(callback)]() mutable { callback(std::move(**result)); });
}

// Tasks started whose callback has not yet run or been dropped; tests wait for 0.
int pendingCount();

} // namespace AsyncTask
