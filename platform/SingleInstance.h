#pragma once
// One running instance per user: the object that acquires the lock keeps it for as long as it
// lives. A lock left by a process that ended is taken over.

#include <memory>
#include <string>

struct InstanceLock {
    enum class State {
        Acquired,
        // Another running instance holds the lock.
        HeldByAnother,
        // The lock could not be created, or what is there is not this program's lock.
        Failed,
    };
    State state = State::Failed;
    // For Failed: "cannot take the lock PATH: REASON".
    std::string error;
};

class SingleInstance {
public:
    virtual ~SingleInstance();
    // Tries to become the one instance.
    [[nodiscard]] virtual InstanceLock acquire() = 0;
};

// The platform's: the lock file "Chimewell.lock" in the user's runtime folder (else the
// settings file's folder) on Linux, the named mutex "Chimewell" on Windows.
std::unique_ptr<SingleInstance> makeSingleInstance();
