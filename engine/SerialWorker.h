#pragma once
// One worker thread that runs work in the order it was given, one piece at a time, and
// hands each result to a callback on the GUI thread, in the same order. Used for the
// reminder file, whose loads and saves must not overtake each other.

#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class SerialWorker final {
public:
    SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;
    // Waits for the work given, then ends the thread; callbacks not yet run are dropped.
    ~SerialWorker();

    // Runs work() on the worker after the work given before, then callback(result) on the
    // GUI thread, unless context is gone by then.
    template <typename Work, typename Callback>
    void run(QObject* context, Work work, Callback callback) {
        using Result = decltype(work());
        auto result = std::make_shared<std::optional<Result>>();
        post([result, work = std::move(work)]() mutable { result->emplace(work()); },
             [result, context = QPointer<QObject>(context),
              callback = std::move(callback)]() mutable {
                 if (context)
                     callback(std::move(**result));
             });
    }

    // Waits until all work given is done, at most `limit`, then runs the callbacks of the
    // work done at once. False when work was still running at the limit: the thread is then
    // left to end by itself, and nothing more can be given.
    bool finish(std::chrono::milliseconds limit);
    // Whether work is given that has not yet been done.
    bool busy() const;

private:
    struct Shared;
    static void workLoop(Shared& shared);
    void post(std::function<void()> work, std::function<void()> apply);
    // Runs, in order, the callbacks of the work done.
    void deliver();

    std::shared_ptr<Shared> m_shared;
    // Lives on the GUI thread; receives the notice that work is done.
    std::unique_ptr<QObject> m_receiver;
};
