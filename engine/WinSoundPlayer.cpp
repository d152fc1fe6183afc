#include "WinSoundPlayer.h"

#ifdef _WIN32

#include <windows.h>

#include <mmsystem.h>

void WinSoundPlayer::play(const QString& path) {
    // Asynchronous: returns at once, and replaces a sound still playing.
    sndPlaySoundW(reinterpret_cast<LPCWSTR>(path.utf16()), SND_ASYNC);
}

void WinSoundPlayer::stop() {
    PlaySoundW(nullptr, nullptr, SND_PURGE);
}

#endif
