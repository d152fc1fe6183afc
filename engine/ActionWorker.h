#pragma once
// The mechanics shared by the one-shot action workers: a test that may block runs on a worker
// thread; when it passes, the action runs on the owner's (GUI) thread. The worker frees itself.

#include <QString>
#include <functional>

class QObject;

// Runs test on a new thread, then action through owner's event loop when test returned true.
// Nothing runs once owner is destroyed; a null owner stands for the application object.
void StartActionWorker(QObject* owner, std::function<bool()> test, std::function<void()> action);

// Workers started and not yet freed (their action run or dropped); tests wait for 0.
int PendingActionWorkers();

// True when path is not empty and names an existing file (not a folder).
bool IsExistingFile(const QString& path);
