#include "ActionWorker.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <memory>

namespace {
std::atomic<int> pending{0};
}

void StartActionWorker(QObject* owner, std::function<bool()> test, std::function<void()> action) {
    QObject* app = QCoreApplication::instance();
    QObject* context = owner != nullptr ? owner : app;
    if (context == nullptr || app == nullptr)
        return;
    auto passed = std::make_shared<std::atomic<bool>>(false);
    QThread* thread = QThread::create([test = std::move(test), passed] { *passed = test(); });
    ++pending;
    // Queued to the owner's thread; Qt drops the call when the owner is destroyed first.
    QObject::connect(thread, &QThread::finished, context, [passed, action = std::move(action)] {
        if (*passed)
            action();
    });
    // The thread object lives on the GUI thread, so it is freed there after the action.
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QObject::connect(thread, &QObject::destroyed, app, [] { --pending; });
    thread->start();
}

int PendingActionWorkers() {
    return pending.load();
}

bool IsExistingFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}
