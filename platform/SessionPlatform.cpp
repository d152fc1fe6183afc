#include "platform/SessionPlatform.h"

#include <cstdlib>

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Qt takes "-platform NAME", also written "--platform NAME".
bool namesPlatform(const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "-platform" || arguments[i] == "--platform")
            return true;
    return false;
}

} // namespace

SessionFacts SessionFacts::current(int argc, char** argv) {
    SessionFacts facts{variable("WAYLAND_DISPLAY"),
                       variable("XDG_SESSION_TYPE"),
                       variable("DISPLAY"),
                       variable("QT_QPA_PLATFORM"),
                       {}};
    for (int i = 0; i < argc && argv[i]; ++i)
        facts.arguments.emplace_back(argv[i]);
    return facts;
}

std::optional<std::string> choosePlatform(const SessionFacts& facts) {
    if (!facts.platformSetting.empty() || namesPlatform(facts.arguments))
        return std::nullopt;
    const bool wayland = !facts.waylandDisplay.empty() || facts.sessionType == "wayland";
    if (!wayland)
        return std::nullopt;
    return facts.display.empty() ? "wayland" : "xcb";
}

PlatformArguments::PlatformArguments(int argc, char** argv) : m_argv(argv, argv + argc) {
    if (const auto platform = choosePlatform(SessionFacts::current(argc, argv)))
        m_added = {"-platform", *platform};
    for (std::string& a : m_added)
        m_argv.push_back(a.data());
    m_argc = int(m_argv.size());
    m_argv.push_back(nullptr);
}
