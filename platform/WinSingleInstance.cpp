#include "platform/WinSingleInstance.h"

#include <string>
#include <windows.h>

WinSingleInstance::~WinSingleInstance() {
    if (m_mutex != nullptr)
        CloseHandle(m_mutex);
}

InstanceLock WinSingleInstance::acquire() {
    if (m_mutex != nullptr)
        return {InstanceLock::State::Acquired, {}};
    // Whoever created the mutex first is the instance; a later creator gets the same
    // object back with ERROR_ALREADY_EXISTS.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Chimewell");
    if (mutex == nullptr)
        return {InstanceLock::State::Failed,
                "cannot take the lock Chimewell: error " + std::to_string(GetLastError())};
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return {InstanceLock::State::HeldByAnother, {}};
    }
    m_mutex = mutex;
    return {InstanceLock::State::Acquired, {}};
}
