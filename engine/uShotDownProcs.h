#pragma once
// Powering the computer off or restarting it, without asking other programs.

// The platform's power service: logind on Linux, ExitWindowsEx on Windows.
class PowerService {
public:
    virtual ~PowerService();
    // True when the system accepted the request.
    virtual bool powerOff() = 0;
    virtual bool reboot() = 0;
};

// The service used by ExitWindowsPrivileged: the installed one, else the platform's.
PowerService& ProgramPowerService();
// Installs another service (tests install a recording fake); nullptr restores the platform's.
// The caller keeps ownership of p.
void SetPowerService(PowerService* p);

// Flag values of ExitWindowsEx.
inline constexpr unsigned EWX_POWEROFF_FLAG = 8;
inline constexpr unsigned EWX_REBOOT_FLAG = 2;
inline constexpr unsigned EWX_SHUTDOWN_FLAG = 1;
inline constexpr unsigned EWX_FORCE_FLAG = 4;

// Asks the system to end the session as flags say; true on success. On Linux power-off (or
// shut-down) and reboot are supported, other requests fail.
bool ExitWindowsPrivileged(unsigned flags);
// Power-off, forced (flags 12).
bool PowerOffComputer();
// Reboot, forced (flags 6).
bool RebootComputer();
