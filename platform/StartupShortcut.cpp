#include "platform/StartupShortcut.h"

#ifdef _WIN32
#include "platform/WinStartupShortcut.h"
#else
#include "platform/XdgStartupShortcut.h"
#endif

std::unique_ptr<StartupShortcut> createStartupShortcut() {
#ifdef _WIN32
    return std::make_unique<WinStartupShortcut>();
#else
    return std::make_unique<XdgStartupShortcut>();
#endif
}
