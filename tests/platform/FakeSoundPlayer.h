#pragma once
// A recording sound player for tests: installs itself as the program's player while it lives,
// so no test reaches a sound device.

#include "platform/SoundPlayer.h"

#include <QString>
#include <QStringList>

class FakeSoundPlayer final : public SoundPlayer {
public:
    FakeSoundPlayer() { setSoundPlayerForTests(this); }
    ~FakeSoundPlayer() override { setSoundPlayerForTests(nullptr); }
    FakeSoundPlayer(const FakeSoundPlayer&) = delete;
    FakeSoundPlayer& operator=(const FakeSoundPlayer&) = delete;

    void play(const std::string& path) override {
        calls << QStringLiteral("play ") + QString::fromStdString(path);
    }
    void stop() override { calls << QStringLiteral("stop"); }

    // "play <path>" / "stop", in the order asked.
    QStringList calls;
};
