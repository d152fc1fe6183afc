#pragma once
// SingleInstance as the lock file "Chimewell.lock" in a folder only this user can write: the
// runtime folder, else the folder of the settings file (Linux).

#include "platform/SingleInstance.h"

#include <QLockFile>
#include <QString>
#include <memory>

class LockFileSingleInstance final : public SingleInstance {
public:
    explicit LockFileSingleInstance(const QString& folder);

    // $XDG_RUNTIME_DIR when it is a folder of this user; else the settings file's folder,
    // never the shared temporary folder, where another user could hold the name.
    [[nodiscard]] static QString defaultFolder();

    InstanceLock acquire() override;

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
