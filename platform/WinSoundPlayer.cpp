#include "platform/WinSoundPlayer.h"

#include "platform/WinText.h"

#include <mmsystem.h>

void WinSoundPlayer::play(const std::string& path, PlayFailed /*onFailed*/) {
    // Asynchronous: returns at once, and replaces a sound still playing.
    sndPlaySoundW(widen(path).c_str(), SND_ASYNC);
}

void WinSoundPlayer::stop() {
    PlaySoundW(nullptr, nullptr, SND_PURGE);
}
