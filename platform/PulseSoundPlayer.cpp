#include "platform/PulseSoundPlayer.h"

#include <dlfcn.h>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>

#include <QMetaObject>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {
// A block of sound written at a time: a stop waits at most this long.
constexpr int kBlocksPerSecond = 50;
// What the server buffers ahead of the sink: short, so the end of a sound is near once
// everything is written, and long enough to ride out a busy machine.
constexpr int kBufferedPerSecond = 8;

// The functions of libsndfile and libpulse-simple the player uses. Both (with the audio
// libraries they pull in) are loaded at the first sound: most runs never play one.
struct SoundLibraries {
    decltype(&sf_open) open;
    decltype(&sf_readf_float) readFrames;
    decltype(&sf_close) close;
    decltype(&sf_strerror) fileError;
    decltype(&pa_simple_new) connect;
    decltype(&pa_simple_write) write;
    decltype(&pa_simple_drain) drain;
    decltype(&pa_simple_flush) flush;
    decltype(&pa_simple_free) disconnect;
    decltype(&pa_strerror) serverError;
};

template <typename F> bool resolve(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

// The libraries, or why they could not be loaded. Called on the worker only.
const SoundLibraries* soundLibraries(std::string* error) {
    static std::string loadError;
    static const std::optional<SoundLibraries> loaded = []() -> std::optional<SoundLibraries> {
        void* sndfile = dlopen("libsndfile.so.1", RTLD_NOW | RTLD_LOCAL);
        void* pulse =
            sndfile != nullptr ? dlopen("libpulse-simple.so.0", RTLD_NOW | RTLD_LOCAL) : nullptr;
        if (pulse == nullptr) {
            loadError = dlerror();
            if (sndfile != nullptr)
                dlclose(sndfile);
            return std::nullopt;
        }
        // pa_strerror lives in libpulse, which libpulse-simple brings in.
        SoundLibraries l{};
        if (resolve(sndfile, "sf_open", l.open) &&
            resolve(sndfile, "sf_readf_float", l.readFrames) &&
            resolve(sndfile, "sf_close", l.close) && resolve(sndfile, "sf_strerror", l.fileError) &&
            resolve(pulse, "pa_simple_new", l.connect) &&
            resolve(pulse, "pa_simple_write", l.write) &&
            resolve(pulse, "pa_simple_drain", l.drain) &&
            resolve(pulse, "pa_simple_flush", l.flush) &&
            resolve(pulse, "pa_simple_free", l.disconnect) &&
            resolve(pulse, "pa_strerror", l.serverError))
            return l;
        loadError = dlerror();
        dlclose(pulse);
        dlclose(sndfile);
        return std::nullopt;
    }();
    if (!loaded)
        *error = loadError;
    return loaded ? &*loaded : nullptr;
}

// Plays the file to its end, or until stopped() says so (then what the server still holds
// is dropped). Returns why it could not be played, or nothing.
std::string playFile(const std::string& path, const std::function<bool()>& stopped) {
    std::string error;
    const SoundLibraries* lib = soundLibraries(&error);
    if (lib == nullptr)
        return error;
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(lib->open(path.c_str(), SFM_READ, &info),
                                                           lib->close);
    if (!file)
        return lib->fileError(nullptr);
    if (info.channels < 1 || info.channels > static_cast<int>(PA_CHANNELS_MAX) ||
        info.samplerate < 1)
        return lib->serverError(PA_ERR_NOTSUPPORTED);

    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(info.samplerate),
                              static_cast<std::uint8_t>(info.channels)};
    const auto frameBytes = static_cast<std::uint32_t>(info.channels * sizeof(float));
    const std::uint32_t ahead = spec.rate / kBufferedPerSecond * frameBytes;
    const pa_buffer_attr buffering{static_cast<std::uint32_t>(-1), ahead,
                                   static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1),
                                   static_cast<std::uint32_t>(-1)};
    int err = 0;
    const std::unique_ptr<pa_simple, void (*)(pa_simple*)> stream(
        lib->connect(nullptr, "Chimly", PA_STREAM_PLAYBACK, nullptr, "Reminder sound", &spec,
                     nullptr, &buffering, &err),
        lib->disconnect);
    if (!stream)
        return lib->serverError(err);

    const sf_count_t blockFrames = std::max(1, info.samplerate / kBlocksPerSecond);
    std::vector<float> block(static_cast<std::size_t>(blockFrames * info.channels));
    while (!stopped()) {
        const sf_count_t frames = lib->readFrames(file.get(), block.data(), blockFrames);
        if (frames <= 0)
            break;
        if (lib->write(stream.get(), block.data(), static_cast<std::size_t>(frames) * frameBytes,
                       &err) < 0)
            return lib->serverError(err);
    }
    if (stopped())
        lib->flush(stream.get(), &err);
    else if (lib->drain(stream.get(), &err) < 0)
        return lib->serverError(err);
    return {};
}
} // namespace

PulseSoundPlayer::PulseSoundPlayer() = default;

PulseSoundPlayer::~PulseSoundPlayer() {
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        ++m_generation;
    }
    m_wake.notify_one();
    if (m_worker.joinable())
        m_worker.join();
}

void PulseSoundPlayer::play(const std::string& path, PlayFailed onFailed) {
    if (!m_receiver)
        m_receiver = std::make_unique<QObject>();
    {
        const std::lock_guard lock(m_mutex);
        m_next = Request{path, std::move(onFailed), ++m_generation};
    }
    m_wake.notify_one();
    if (!m_worker.joinable())
        m_worker = std::thread([this] { run(); });
}

void PulseSoundPlayer::stop() {
    const std::lock_guard lock(m_mutex);
    ++m_generation;
    m_next.reset();
}

void PulseSoundPlayer::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || m_next.has_value(); });
        if (m_quit)
            return;
        Request request = std::move(*m_next);
        m_next.reset();
        lock.unlock();
        const std::uint64_t generation = request.generation;
        const std::string reason =
            playFile(request.path, [this, generation] { return m_generation != generation; });
        if (!reason.empty() && request.onFailed)
            reportFailure(std::move(request.onFailed), reason, generation);
        lock.lock();
    }
}

void PulseSoundPlayer::reportFailure(PlayFailed onFailed, const std::string& reason,
                                     std::uint64_t generation) {
    // Whether the sound was superseded is judged on the asking thread, where plays and stops
    // are asked for, so that it still holds when the callback runs.
    QMetaObject::invokeMethod(
        m_receiver.get(),
        [this, onFailed = std::move(onFailed), reason, generation] {
            onFailed(reason, m_generation != generation);
        },
        Qt::QueuedConnection);
}
