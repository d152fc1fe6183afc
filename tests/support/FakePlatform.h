#pragma once
// The platform services of a test: the recording fakes, handed to the program as its
// services. They must outlive what they were handed to.

#include "platform/PlatformServices.h"
#include "tests/support/FakePowerControl.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/FakeStartupShortcut.h"

struct FakePlatform {
    FakeSoundPlayer player;
    FakePowerControl power;
    FakeStartupShortcut shortcut;

    PlatformServices services() { return {player, power, shortcut}; }
};
