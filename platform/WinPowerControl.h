#pragma once
// PowerControl through ExitWindowsEx, forced, with the shutdown privilege (Windows).

#include "platform/PowerControl.h"

class WinPowerControl final : public PowerControl {
public:
    void requestPowerOff(Answer answer = {}) override;
    void requestReboot(Answer answer = {}) override;
};
