#pragma once
// SingleInstance as the named mutex "Chimewell" in the user's session (Windows). The system
// closes the mutex of a process that ended, so nothing stale is left behind.

#include "platform/SingleInstance.h"

class WinSingleInstance final : public SingleInstance {
public:
    WinSingleInstance() = default;
    ~WinSingleInstance() override;
    WinSingleInstance(const WinSingleInstance&) = delete;
    WinSingleInstance& operator=(const WinSingleInstance&) = delete;

    InstanceLock acquire() override;

private:
    void* m_mutex = nullptr; // HANDLE
};
