#pragma once
// One running instance per user session: a lock file in the user's runtime folder,
// held for the life of the process. A lock left by a killed process is taken over.

#include <QLockFile>
#include <memory>

class SingleInstance final {
public:
    // Tries to become the one instance; false when another instance holds the lock.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
