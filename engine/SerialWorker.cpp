#include "engine/SerialWorker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// What the thread and the GUI thread share; the thread keeps it alive while it runs.
struct SerialWorker::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::pair<std::function<void()>, std::function<void()>>> waiting;
    std::deque<std::function<void()>> done;
    int running = 0; // given and not yet done
    bool stopping = false;
    // Tells the GUI thread that work is done; cleared before the worker goes.
    std::function<void()> notify;
    std::thread thread;
};

SerialWorker::SerialWorker()
    : m_shared(std::make_shared<Shared>()), m_receiver(std::make_unique<QObject>()) {
    // Queued to the receiver's (GUI) thread; dropped with the receiver.
    m_shared->notify = [this, receiver = m_receiver.get()] {
        QMetaObject::invokeMethod(
            receiver, [this] { deliver(); }, Qt::QueuedConnection);
    };
    m_shared->thread = std::thread([shared = m_shared] { workLoop(*shared); });
}

SerialWorker::~SerialWorker() {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->stopping = true;
        m_shared->notify = nullptr;
    }
    m_shared->changed.notify_all();
    if (m_shared->thread.joinable())
        m_shared->thread.join();
}

void SerialWorker::post(std::function<void()> work, std::function<void()> apply) {
    {
        std::lock_guard lock(m_shared->mutex);
        if (!m_shared->thread.joinable())
            return;
        m_shared->waiting.emplace_back(std::move(work), std::move(apply));
        ++m_shared->running;
    }
    m_shared->changed.notify_all();
}

bool SerialWorker::busy() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->running > 0;
}

bool SerialWorker::finish(std::chrono::milliseconds limit) {
    bool idle;
    {
        std::unique_lock lock(m_shared->mutex);
        idle = m_shared->changed.wait_for(lock, limit, [this] { return m_shared->running == 0; });
        if (!idle) {
            // Stuck (a file on a drive that hangs): it may finish after the program ended.
            m_shared->stopping = true;
            m_shared->notify = nullptr;
            m_shared->thread.detach();
        }
    }
    deliver();
    return idle;
}

void SerialWorker::deliver() {
    std::deque<std::function<void()>> done;
    {
        std::lock_guard lock(m_shared->mutex);
        done.swap(m_shared->done);
    }
    for (auto& apply : done)
        apply();
}

void SerialWorker::workLoop(Shared& shared) {
    std::unique_lock lock(shared.mutex);
    for (;;) {
        shared.changed.wait(lock, [&] { return shared.stopping || !shared.waiting.empty(); });
        if (shared.waiting.empty())
            return;
        auto [work, apply] = std::move(shared.waiting.front());
        shared.waiting.pop_front();
        lock.unlock();
        work();
        lock.lock();
        shared.done.push_back(std::move(apply));
        --shared.running;
        shared.changed.notify_all();
        if (shared.notify)
            shared.notify();
    }
}
