#pragma once
// A recording power control for tests, so that nothing a test does can reach the real one.

#include "platform/PowerControl.h"

#include <string>
#include <vector>

class FakePowerControl final : public PowerControl {
public:
    FakePowerControl() = default;
    FakePowerControl(const FakePowerControl&) = delete;
    FakePowerControl& operator=(const FakePowerControl&) = delete;

    void requestPowerOff(Answer answer) override { record("powerOff", answer); }
    void requestReboot(Answer answer) override { record("reboot", answer); }

    // "powerOff" / "reboot", in the order asked.
    std::vector<std::string> calls;
    // What the fake answers.
    Reply reply{true, {}};

private:
    void record(const char* call, const Answer& answer) {
        calls.push_back(call);
        if (answer)
            answer(reply);
    }
};
