#pragma once
// Powering the computer off or restarting it, without asking other programs.

#include <functional>
#include <memory>
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

// The platform's power control: logind on Linux, ExitWindowsEx on Windows.
std::unique_ptr<PowerControl> createPowerControl();
