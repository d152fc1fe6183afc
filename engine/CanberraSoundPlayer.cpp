#include "CanberraSoundPlayer.h"

#ifndef _WIN32

#include <QFile>
#include <canberra.h>

namespace {
// Every sound of the program carries this id, so one cancel stops whatever plays.
constexpr uint32_t kSoundId = 1;

// Errors after which the server connection is gone and a fresh context may succeed.
bool ConnectionLost(int err) {
    return err == CA_ERROR_DISCONNECTED || err == CA_ERROR_STATE || err == CA_ERROR_IO;
}
} // namespace

CanberraSoundPlayer::CanberraSoundPlayer() = default;

CanberraSoundPlayer::~CanberraSoundPlayer() {
    dropContext();
}

bool CanberraSoundPlayer::ensureContext() {
    if (context_ != nullptr)
        return true;
    if (ca_context_create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return false;
    }
    // Only PulseAudio (or a server speaking its protocol): never fall back to raw ALSA devices.
    ca_context_set_driver(context_, "pulse");
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Chimly", CA_PROP_APPLICATION_ID,
                            "chimly", nullptr);
    return true;
}

void CanberraSoundPlayer::dropContext() {
    if (context_ != nullptr)
        ca_context_destroy(context_);
    context_ = nullptr;
}

void CanberraSoundPlayer::play(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    // Two attempts: a server restarted since the last sound leaves a dead connection behind.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureContext())
            return;
        ca_context_cancel(context_, kSoundId);
        ca_proplist* props = nullptr;
        if (ca_proplist_create(&props) != CA_SUCCESS)
            return;
        ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, file.constData());
        ca_proplist_sets(props, CA_PROP_MEDIA_ROLE, "event");
        // No callback: nothing waits for the end of a sound.
        const int err = ca_context_play_full(context_, kSoundId, props, nullptr, nullptr);
        ca_proplist_destroy(props);
        if (!ConnectionLost(err))
            return;
        dropContext();
    }
}

void CanberraSoundPlayer::stop() {
    if (context_ != nullptr)
        ca_context_cancel(context_, kSoundId);
}

#endif
