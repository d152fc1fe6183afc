#pragma once
// A sound player: one sound at a time, a new one replaces the one playing.
// Used by the reminder actions, the editor's test buttons and "Sound off".

#include <functional>
#include <memory>
#include <string>

class SoundPlayer {
public:
    // Gets why a sound could not be played (a file the player cannot read, no audio
    // server), and whether another sound or a stop has been asked for since; called at most
    // once, later, on the thread that asked for the sound. A sound stopped or replaced while
    // it played has not failed.
    using PlayFailed = std::function<void(const std::string& reason, bool superseded)>;

    virtual ~SoundPlayer();
    // Starts playing a sound file (a UTF-8 path) and returns at once; a sound still
    // playing is stopped first. onFailed may be empty.
    virtual void play(const std::string& path, PlayFailed onFailed) = 0;
    // Stops the sound that is playing; nothing happens when none is.
    virtual void stop() = 0;
};

// The platform's player: libsndfile with PulseAudio on Linux, the system's own on Windows.
// GUI thread only.
std::unique_ptr<SoundPlayer> createSoundPlayer();
