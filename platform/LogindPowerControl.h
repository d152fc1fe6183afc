#pragma once
// PowerControl through systemd-logind's manager on the system bus (Linux).

#include "platform/PowerControl.h"

class LogindPowerControl final : public PowerControl {
public:
    void requestPowerOff(Answer answer = {}) override;
    void requestReboot(Answer answer = {}) override;
};
