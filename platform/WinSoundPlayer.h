#pragma once
// SoundPlayer on the Windows wave functions.

#include "platform/SoundPlayer.h"

class WinSoundPlayer final : public SoundPlayer {
public:
    void play(const std::string& path) override;
    void stop() override;
};
