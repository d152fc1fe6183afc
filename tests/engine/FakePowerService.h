#pragma once
// A recording power service for tests: installs itself as the program's power service while it
// lives, so nothing a test does can reach the real one.

#include "uShotDownProcs.h"

#include <string>
#include <vector>

class FakePowerService final : public PowerService {
public:
    FakePowerService() { SetPowerService(this); }
    ~FakePowerService() override { SetPowerService(nullptr); }
    FakePowerService(const FakePowerService&) = delete;
    FakePowerService& operator=(const FakePowerService&) = delete;

    bool powerOff() override {
        calls.push_back("powerOff");
        return result;
    }
    bool reboot() override {
        calls.push_back("reboot");
        return result;
    }

    // "powerOff" / "reboot", in the order asked.
    std::vector<std::string> calls;
    // What the fake answers.
    bool result = true;
};
