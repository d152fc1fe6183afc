#pragma once
// SoundPlayer on libcanberra's PulseAudio backend (Linux).

#include "platform/SoundPlayer.h"

struct ca_context;

class CanberraSoundPlayer final : public SoundPlayer {
public:
    CanberraSoundPlayer();
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    void play(const std::string& path) override;
    void stop() override;

private:
    bool ensureContext();
    void dropContext();

    ca_context* m_context = nullptr;
};
