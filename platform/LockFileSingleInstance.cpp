#include "platform/LockFileSingleInstance.h"

#include "core/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isOwnPrivateFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        return false;
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

LockFileSingleInstance::LockFileSingleInstance(const QString& folder)
    : m_path(QDir(folder).filePath(QStringLiteral("Chimewell.lock"))) {
}

QString LockFileSingleInstance::defaultFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isOwnPrivateFolder(runtime))
        return runtime;
    return QFileInfo(QString::fromStdString(locateDataPaths().settingsFilePath)).absolutePath();
}

InstanceLock LockFileSingleInstance::acquire() {
    if (m_lock && m_lock->isLocked())
        return {InstanceLock::State::Acquired, {}};
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return {InstanceLock::State::Acquired, {}};

    QString reason;
    switch (m_lock->error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host;
        QString application;
        if (m_lock->getLockInfo(&pid, &host, &application))
            return {InstanceLock::State::HeldByAnother, {}};
        reason = QStringLiteral("it is not a lock of this program");
        break;
    }
    case QLockFile::PermissionError:
        reason = QStringLiteral("permission denied");
        break;
    default:
        reason = QStringLiteral("the file could not be created");
        break;
    }
    return {InstanceLock::State::Failed,
            QStringLiteral("cannot take the lock %1: %2").arg(m_path, reason).toStdString()};
}
