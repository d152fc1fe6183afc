#include "platform/WinSingleInstance.h"

#include <windows.h>

WinSingleInstance::~WinSingleInstance() {
    if (m_mutex != nullptr)
        CloseHandle(m_mutex);
}

bool WinSingleInstance::acquire() {
    if (m_mutex != nullptr)
        return true;
    // Whoever created the mutex first is the instance; a later creator gets the same
    // object back with ERROR_ALREADY_EXISTS.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Chimewell");
    if (mutex == nullptr)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_mutex = mutex;
    return true;
}
