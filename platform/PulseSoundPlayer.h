#pragma once
// SoundPlayer on Linux: libsndfile reads the file (any PCM depth, float, extensible WAV, and
// what else it knows), PulseAudio's simple API plays it (also served by PipeWire). A worker
// thread writes the sound in short blocks, so a stop or a new sound takes effect between two
// blocks; both libraries are loaded at the first sound.

#include "platform/SoundPlayer.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class PulseSoundPlayer final : public SoundPlayer {
public:
    PulseSoundPlayer();
    ~PulseSoundPlayer() override;
    PulseSoundPlayer(const PulseSoundPlayer&) = delete;
    PulseSoundPlayer& operator=(const PulseSoundPlayer&) = delete;

    void play(const std::string& path, PlayFailed onFailed) override;
    void stop() override;

private:
    struct Request {
        std::string path;
        PlayFailed onFailed;
        std::uint64_t generation = 0;
    };

    void run();
    void reportFailure(PlayFailed onFailed, const std::string& reason, std::uint64_t generation);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Request> m_next;
    bool m_quit = false;
    // Raised by every play and stop (on the asking thread): the sound of an older generation
    // ends at its next block.
    std::atomic<std::uint64_t> m_generation{0};
    // Lives on the thread that asked for the sounds; failures are handed to it there.
    std::unique_ptr<QObject> m_receiver;
    std::thread m_worker;
};
