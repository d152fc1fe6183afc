#include "platform/WinPowerControl.h"
#include "platform/WinText.h"

#include <string>

#include <windows.h>

namespace {

// Enables the shutdown privilege of this process; a failing step only skips the steps after
// it, and the request is made in any case.
void enableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES wanted{};
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &wanted.Privileges[0].Luid)) {
        wanted.PrivilegeCount = 1;
        wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        AdjustTokenPrivileges(token, FALSE, &wanted, 0, nullptr, nullptr);
    }
    CloseHandle(token);
}

} // namespace

bool WinPowerControl::systemExitWindows(unsigned flags) {
    // Returns at once; the system ends the session afterwards.
    return ExitWindowsEx(flags, 0) != FALSE;
}

WinPowerControl::WinPowerControl(ExitWindows exitWindows) : m_exitWindows(exitWindows) {
}

void WinPowerControl::requestPowerOff(Answer answer) {
    request(EWX_POWEROFF, answer);
}

void WinPowerControl::requestReboot(Answer answer) {
    request(EWX_REBOOT, answer);
}

void WinPowerControl::request(unsigned flags, const Answer& answer) const {
    enableShutdownPrivilege();
    // Forced: programs that would ask the user to save are not waited for.
    const bool accepted = m_exitWindows(flags | EWX_FORCE);
    if (answer)
        answer({accepted, accepted ? std::string() : systemErrorText(GetLastError())});
}
