#pragma once
// PowerControl through ExitWindowsEx, forced, with the shutdown privilege (Windows).

#include "platform/PowerControl.h"

class WinPowerControl final : public PowerControl {
public:
    // The call that ends the session, given ExitWindowsEx's flags; true when the system took
    // the request. Tests put a recording stub here, so that nothing shuts down.
    using ExitWindows = bool (*)(unsigned flags);
    // ExitWindowsEx itself.
    static bool systemExitWindows(unsigned flags);

    explicit WinPowerControl(ExitWindows exitWindows = systemExitWindows);

    void requestPowerOff(Answer answer = {}) override;
    void requestReboot(Answer answer = {}) override;

private:
    void request(unsigned flags, const Answer& answer) const;

    ExitWindows m_exitWindows;
};
