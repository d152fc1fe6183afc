#pragma once
// The program-wide sound player: one sound at a time, a new one replaces the one playing.
// Used by the reminder actions, the editor's test buttons and "Sound off".

#include <string>

class SoundPlayer {
public:
    virtual ~SoundPlayer();
    // Starts playing a WAV file (a UTF-8 path) and returns at once; a sound still
    // playing is stopped first.
    virtual void play(const std::string& path) = 0;
    // Stops the sound that is playing; nothing happens when none is.
    virtual void stop() = 0;
};

// The player of the program (the platform's one, created on first use). GUI thread only.
SoundPlayer& programSoundPlayer();
// Test seam: installs another player (tests install a recording fake); nullptr restores
// the platform's one. The caller keeps ownership of player.
void setSoundPlayerForTests(SoundPlayer* player);
