#pragma once
// One-shot worker that starts a WAV sound on the program's player.

#include <QString>

class QObject;

class TPlaySoundThread final {
public:
    // Tests SPath on a worker thread; when the file exists, the program's player starts it on
    // Own's thread (replacing a sound still playing). The worker does not wait for the sound.
    static void Create(QObject* Own, const QString& SPath);
};
