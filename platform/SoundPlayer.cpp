#include "platform/SoundPlayer.h"

#ifdef _WIN32
#include "platform/WinSoundPlayer.h"
#else
#include "platform/PulseSoundPlayer.h"
#endif

SoundPlayer::~SoundPlayer() = default;

namespace {
SoundPlayer* installedPlayer = nullptr;

SoundPlayer& platformPlayer() {
#ifdef _WIN32
    static WinSoundPlayer player;
#else
    static PulseSoundPlayer player;
#endif
    return player;
}
} // namespace

SoundPlayer& programSoundPlayer() {
    return installedPlayer != nullptr ? *installedPlayer : platformPlayer();
}

void setSoundPlayerForTests(SoundPlayer* player) {
    installedPlayer = player;
}
