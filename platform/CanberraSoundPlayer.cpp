#include "platform/CanberraSoundPlayer.h"

#include <canberra.h>

#include <cstdint>

namespace {
// Every sound of the program carries this id, so one cancel stops whatever plays.
constexpr std::uint32_t kSoundId = 1;

// Errors after which the server connection is gone and a fresh context may succeed.
bool connectionLost(int err) {
    return err == CA_ERROR_DISCONNECTED || err == CA_ERROR_STATE || err == CA_ERROR_IO;
}
} // namespace

CanberraSoundPlayer::CanberraSoundPlayer() = default;

CanberraSoundPlayer::~CanberraSoundPlayer() {
    dropContext();
}

bool CanberraSoundPlayer::ensureContext() {
    if (m_context != nullptr)
        return true;
    if (ca_context_create(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        return false;
    }
    // Only PulseAudio (or a server speaking its protocol): never fall back to raw ALSA devices.
    ca_context_set_driver(m_context, "pulse");
    ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Chimly", CA_PROP_APPLICATION_ID,
                            "chimly", nullptr);
    return true;
}

void CanberraSoundPlayer::dropContext() {
    if (m_context != nullptr)
        ca_context_destroy(m_context);
    m_context = nullptr;
}

void CanberraSoundPlayer::play(const std::string& path) {
    // Two attempts: a server restarted since the last sound leaves a dead connection behind.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureContext())
            return;
        ca_context_cancel(m_context, kSoundId);
        ca_proplist* props = nullptr;
        if (ca_proplist_create(&props) != CA_SUCCESS)
            return;
        ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, path.c_str());
        ca_proplist_sets(props, CA_PROP_MEDIA_ROLE, "event");
        // No callback: nothing waits for the end of a sound.
        const int err = ca_context_play_full(m_context, kSoundId, props, nullptr, nullptr);
        ca_proplist_destroy(props);
        if (!connectionLost(err))
            return;
        dropContext();
    }
}

void CanberraSoundPlayer::stop() {
    if (m_context != nullptr)
        ca_context_cancel(m_context, kSoundId);
}
