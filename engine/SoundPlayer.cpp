#include "SoundPlayer.h"

#ifdef _WIN32
#include "WinSoundPlayer.h"
#else
#include "CanberraSoundPlayer.h"
#endif

#include <memory>

SoundPlayer::~SoundPlayer() = default;

namespace {
SoundPlayer* installedPlayer = nullptr;

SoundPlayer& PlatformPlayer() {
#ifdef _WIN32
    static WinSoundPlayer player;
#else
    static CanberraSoundPlayer player;
#endif
    return player;
}
} // namespace

SoundPlayer& ProgramSoundPlayer() {
    return installedPlayer != nullptr ? *installedPlayer : PlatformPlayer();
}

void SetProgramSoundPlayer(SoundPlayer* p) {
    installedPlayer = p;
}
