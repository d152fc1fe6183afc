#pragma once
// One running instance per user: the object that acquires the lock keeps it for as long as it
// lives. A lock left by a process that ended is taken over.

#include <memory>

class SingleInstance {
public:
    virtual ~SingleInstance();
    // Tries to become the one instance; false when another instance holds the lock.
    [[nodiscard]] virtual bool acquire() = 0;
};

// The platform's: the lock file "Chimewell.lock" in the user's runtime folder on Linux, the
// named mutex "Chimewell" on Windows.
std::unique_ptr<SingleInstance> makeSingleInstance();
