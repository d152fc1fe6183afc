#pragma once
// Powering the computer off or restarting it, without asking other programs.

#include <functional>

class PowerControl {
public:
    // Gets true when the system accepted the request.
    using Answer = std::function<void(bool accepted)>;

    virtual ~PowerControl();
    // Ask and return without waiting for the system; the answer, when wanted, comes
    // later on the calling thread.
    virtual void requestPowerOff(Answer answer = {}) = 0;
    virtual void requestReboot(Answer answer = {}) = 0;
};

// The program's power control: logind on Linux, ExitWindowsEx on Windows.
PowerControl& programPowerControl();
// Test seam: installs another power control (tests install a recording fake); nullptr
// restores the platform's one. The caller keeps ownership.
void setPowerControlForTests(PowerControl* control);
