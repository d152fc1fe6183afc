#include "platform/SoundPlayer.h"

#ifdef _WIN32
#include "platform/WinSoundPlayer.h"
#else
#include "platform/PulseSoundPlayer.h"
#endif

SoundPlayer::~SoundPlayer() = default;

std::unique_ptr<SoundPlayer> createSoundPlayer() {
#ifdef _WIN32
    return std::make_unique<WinSoundPlayer>();
#else
    return std::make_unique<PulseSoundPlayer>();
#endif
}
