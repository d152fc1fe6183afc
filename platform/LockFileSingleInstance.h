#pragma once
// SingleInstance as a lock file in the user's runtime folder (Linux).

#include "platform/SingleInstance.h"

#include <QLockFile>
#include <memory>

class LockFileSingleInstance final : public SingleInstance {
public:
    bool acquire() override;

private:
    std::unique_ptr<QLockFile> m_lock;
};
