#include "platform/CanberraSoundPlayer.h"

#include <canberra.h>
#include <dlfcn.h>

#include <cstdint>
#include <optional>

namespace {
// Every sound of the program carries this id, so one cancel stops whatever plays.
constexpr std::uint32_t kSoundId = 1;

// Errors after which the server connection is gone and a fresh context may succeed.
bool connectionLost(int err) {
    return err == CA_ERROR_DISCONNECTED || err == CA_ERROR_STATE || err == CA_ERROR_IO;
}

// The functions of libcanberra the player uses. The library (with the audio libraries
// it pulls in) is loaded at the first sound: most runs never play one.
struct Canberra {
    decltype(&ca_context_create) contextCreate;
    decltype(&ca_context_destroy) contextDestroy;
    decltype(&ca_context_set_driver) setDriver;
    decltype(&ca_context_change_props_full) changeProps;
    decltype(&ca_context_play_full) playFull;
    decltype(&ca_context_cancel) cancel;
    decltype(&ca_proplist_create) proplistCreate;
    decltype(&ca_proplist_sets) proplistSets;
    decltype(&ca_proplist_destroy) proplistDestroy;
};

template <typename F> bool resolve(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

const Canberra* canberra() {
    static const std::optional<Canberra> loaded = []() -> std::optional<Canberra> {
        void* library = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return std::nullopt;
        Canberra c{};
        if (resolve(library, "ca_context_create", c.contextCreate) &&
            resolve(library, "ca_context_destroy", c.contextDestroy) &&
            resolve(library, "ca_context_set_driver", c.setDriver) &&
            resolve(library, "ca_context_change_props_full", c.changeProps) &&
            resolve(library, "ca_context_play_full", c.playFull) &&
            resolve(library, "ca_context_cancel", c.cancel) &&
            resolve(library, "ca_proplist_create", c.proplistCreate) &&
            resolve(library, "ca_proplist_sets", c.proplistSets) &&
            resolve(library, "ca_proplist_destroy", c.proplistDestroy))
            return c;
        dlclose(library);
        return std::nullopt;
    }();
    return loaded ? &*loaded : nullptr;
}

} // namespace

CanberraSoundPlayer::CanberraSoundPlayer() = default;

CanberraSoundPlayer::~CanberraSoundPlayer() {
    dropContext();
}

bool CanberraSoundPlayer::ensureContext() {
    if (m_context != nullptr)
        return true;
    const Canberra* ca = canberra();
    if (ca == nullptr || ca->contextCreate(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        return false;
    }
    // Only PulseAudio (or a server speaking its protocol): never fall back to raw ALSA devices.
    ca->setDriver(m_context, "pulse");
    ca_proplist* props = nullptr;
    if (ca->proplistCreate(&props) == CA_SUCCESS) {
        ca->proplistSets(props, CA_PROP_APPLICATION_NAME, "Chimly");
        ca->proplistSets(props, CA_PROP_APPLICATION_ID, "chimly");
        ca->changeProps(m_context, props);
        ca->proplistDestroy(props);
    }
    return true;
}

void CanberraSoundPlayer::dropContext() {
    if (m_context != nullptr)
        canberra()->contextDestroy(m_context);
    m_context = nullptr;
}

void CanberraSoundPlayer::play(const std::string& path) {
    // Two attempts: a server restarted since the last sound leaves a dead connection behind.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureContext())
            return;
        const Canberra* ca = canberra();
        ca->cancel(m_context, kSoundId);
        ca_proplist* props = nullptr;
        if (ca->proplistCreate(&props) != CA_SUCCESS)
            return;
        ca->proplistSets(props, CA_PROP_MEDIA_FILENAME, path.c_str());
        ca->proplistSets(props, CA_PROP_MEDIA_ROLE, "event");
        // No callback: nothing waits for the end of a sound.
        const int err = ca->playFull(m_context, kSoundId, props, nullptr, nullptr);
        ca->proplistDestroy(props);
        if (!connectionLost(err))
            return;
        dropContext();
    }
}

void CanberraSoundPlayer::stop() {
    if (m_context != nullptr)
        canberra()->cancel(m_context, kSoundId);
}
