#include "tests/support/TempHome.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {
std::string home;

void RemoveHome() {
    std::error_code ec;
    if (!home.empty())
        fs::remove_all(home, ec);
}
} // namespace

const std::string& TempHome() {
    return home;
}

void InstallTempHome() {
    std::string tmpl = (fs::temp_directory_path() / "chimewell-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    home = tmpl;
    const std::pair<const char*, const char*> dirs[] = {{"XDG_DATA_HOME", "/.local/share"},
                                                        {"XDG_CONFIG_HOME", "/.config"},
                                                        {"XDG_CACHE_HOME", "/.cache"},
                                                        {"XDG_STATE_HOME", "/.local/state"},
                                                        {"XDG_RUNTIME_DIR", "/runtime"}};
    ::setenv("HOME", home.c_str(), 1);
    for (const auto& [var, sub] : dirs) {
        fs::create_directories(home + sub);
        ::setenv(var, (home + sub).c_str(), 1);
    }
    ::chmod((home + "/runtime").c_str(), 0700);
    // No test reaches the user's sound server, desktop session or the real login
    // manager by accident: they point at sockets that exist only once a test starts
    // its own.
    ::setenv("PULSE_SERVER", ("unix:" + home + "/no-sound-server").c_str(), 1);
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + home + "/no-system-bus").c_str(), 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + home + "/no-session-bus").c_str(), 1);
    std::atexit(RemoveHome);
}

std::string MakeTempFolder(const std::string& name) {
    static std::atomic<int> counter{0};
    const fs::path p = fs::path(home) / "tmp" / (name + "-" + std::to_string(++counter));
    fs::create_directories(p);
    return p.string();
}
