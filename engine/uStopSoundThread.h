#pragma once
// One-shot worker that stops the sound the program is playing.

class QObject;

class TStopSoundThread final {
public:
    // Stops the program's player on Own's thread; nothing happens when no sound plays.
    static void Create(QObject* Own);
};
