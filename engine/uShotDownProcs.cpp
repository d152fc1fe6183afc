#include "uShotDownProcs.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <QDBusConnection>
#include <QDBusMessage>
#endif

PowerService::~PowerService() = default;

namespace {
PowerService* installedService = nullptr;

#ifdef _WIN32
// Enables the shutdown privilege of this process (a failing step only skips the steps after
// it), then asks the system to exit in any case.
bool ExitWindowsWithPrivilege(unsigned flags) {
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

class WindowsPowerService final : public PowerService {
public:
    bool powerOff() override { return ExitWindowsWithPrivilege(EWX_POWEROFF | EWX_FORCE); }
    bool reboot() override { return ExitWindowsWithPrivilege(EWX_REBOOT | EWX_FORCE); }
};
#else
// systemd-logind's manager on the system bus; interactive = false, so nothing asks the user.
class LogindPowerService final : public PowerService {
public:
    bool powerOff() override { return call(QStringLiteral("PowerOff")); }
    bool reboot() override { return call(QStringLiteral("Reboot")); }

private:
    static bool call(const QString& method) {
        QDBusMessage msg = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), method);
        msg << false;
        constexpr int kTimeoutMs = 10000;
        const QDBusMessage reply = QDBusConnection::systemBus().call(msg, QDBus::Block, kTimeoutMs);
        return reply.type() == QDBusMessage::ReplyMessage;
    }
};
#endif

PowerService& PlatformService() {
#ifdef _WIN32
    static WindowsPowerService service;
#else
    static LogindPowerService service;
#endif
    return service;
}
} // namespace

PowerService& ProgramPowerService() {
    return installedService != nullptr ? *installedService : PlatformService();
}

void SetPowerService(PowerService* p) {
    installedService = p;
}

bool ExitWindowsPrivileged(unsigned flags) {
    if ((flags & EWX_POWEROFF_FLAG) != 0 || (flags & EWX_SHUTDOWN_FLAG) != 0)
        return ProgramPowerService().powerOff();
    if ((flags & EWX_REBOOT_FLAG) != 0)
        return ProgramPowerService().reboot();
#ifdef _WIN32
    if (installedService == nullptr)
        return ExitWindowsWithPrivilege(flags);
#endif
    return false;
}

bool PowerOffComputer() {
    return ExitWindowsPrivileged(EWX_POWEROFF_FLAG | EWX_FORCE_FLAG);
}

bool RebootComputer() {
    return ExitWindowsPrivileged(EWX_REBOOT_FLAG | EWX_FORCE_FLAG);
}
