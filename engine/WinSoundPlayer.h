#pragma once
// SoundPlayer on the Windows wave functions.

#ifdef _WIN32

#include "SoundPlayer.h"

class WinSoundPlayer final : public SoundPlayer {
public:
    void play(const QString& path) override;
    void stop() override;
};

#endif
