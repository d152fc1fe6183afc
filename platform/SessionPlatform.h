#pragma once
// Which Qt platform the program runs on in the user's session. In a Wayland session a
// native client can neither keep a window above the others nor place its windows, so
// the program runs through XWayland when it can.

#include <optional>
#include <string>
#include <vector>

// What the session offers and what the user chose, as the environment and the command
// line tell.
struct SessionFacts {
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string display;         // DISPLAY: an X server, XWayland in a Wayland session
    std::string platformSetting; // QT_QPA_PLATFORM
    std::vector<std::string> arguments;

    static SessionFacts current(int argc, char** argv);
};

// The Qt platform to ask for: "xcb" in a Wayland session with XWayland, "wayland" in
// one without; nothing where the user chose one (QT_QPA_PLATFORM or -platform) or the
// session is not Wayland, so that Qt's own choice stands.
std::optional<std::string> choosePlatform(const SessionFacts& facts);

// The program's command line for QApplication, with "-platform NAME" added when
// choosePlatform names one. Asking through the command line rather than QT_QPA_PLATFORM
// keeps the choice from the programs a reminder starts. Must outlive the QApplication.
class PlatformArguments final {
public:
    PlatformArguments(int argc, char** argv);
    PlatformArguments(const PlatformArguments&) = delete;
    PlatformArguments& operator=(const PlatformArguments&) = delete;

    int& argc() { return m_argc; }
    char** argv() { return m_argv.data(); }

private:
    std::vector<std::string> m_added;
    std::vector<char*> m_argv;
    int m_argc = 0;
};
