#pragma once
// SoundPlayer on the Windows wave functions.

#include "platform/SoundPlayer.h"

class WinSoundPlayer final : public SoundPlayer {
public:
    // The wave functions report no failure: onFailed is never called.
    void play(const std::string& path, PlayFailed onFailed) override;
    void stop() override;
};
