#include "platform/WinPowerControl.h"

#include <windows.h>

namespace {

// Enables the shutdown privilege of this process (a failing step only skips the steps
// after it), then asks the system to exit in any case. ExitWindowsEx returns at once.
bool exitWindowsWithPrivilege(UINT flags) {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES wanted{};
        if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &wanted.Privileges[0].Luid)) {
            wanted.PrivilegeCount = 1;
            wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            TOKEN_PRIVILEGES previous{};
            DWORD returned = 0;
            AdjustTokenPrivileges(token, FALSE, &wanted, sizeof(previous), &previous, &returned);
        }
    }
    const bool ok = ExitWindowsEx(flags, 0) != FALSE;
    if (token != nullptr)
        CloseHandle(token);
    return ok;
}

void request(UINT flags, const PowerControl::Answer& answer) {
    const bool accepted = exitWindowsWithPrivilege(flags | EWX_FORCE);
    if (answer)
        answer(accepted);
}

} // namespace

void WinPowerControl::requestPowerOff(Answer answer) {
    request(EWX_POWEROFF, answer);
}

void WinPowerControl::requestReboot(Answer answer) {
    request(EWX_REBOOT, answer);
}
