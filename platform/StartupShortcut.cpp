#include "platform/StartupShortcut.h"

#ifdef _WIN32
#include "platform/WinStartupShortcut.h"
#else
#include "platform/XdgStartupShortcut.h"
#endif

namespace {
StartupShortcut* installedShortcut = nullptr;

StartupShortcut& platformShortcut() {
#ifdef _WIN32
    static WinStartupShortcut shortcut;
#else
    static XdgStartupShortcut shortcut;
#endif
    return shortcut;
}
} // namespace

StartupShortcut& programStartupShortcut() {
    return installedShortcut != nullptr ? *installedShortcut : platformShortcut();
}

void setStartupShortcutForTests(StartupShortcut* shortcut) {
    installedShortcut = shortcut;
}
