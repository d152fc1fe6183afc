#include "ui/main/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

bool SingleInstance::Acquire() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    lock_ = std::make_unique<QLockFile>(folder + QStringLiteral("/Chimewell.lock"));
    // Never stale by age: only a lock whose process is gone is taken over.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}
