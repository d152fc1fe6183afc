#pragma once
// Powering the computer off or restarting it, without asking other programs.

#include <functional>
#include <string>

class PowerControl {
public:
    // What the system said to a request: taken, or refused with the system's reason.
    struct Reply {
        bool accepted = false;
        std::string error;
    };
    using Answer = std::function<void(const Reply& reply)>;

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
