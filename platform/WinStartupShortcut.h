#pragma once
// The start-up shortcut as a shell link in the user's Startup folder as the registry names
// it (Windows): <executable name>.lnk, pointing at the running executable and starting in
// its folder. Plain Win32, no Qt.

#include "platform/StartupShortcut.h"

#include <string>

class WinStartupShortcut final : public StartupShortcut {
public:
    // Empty when the registry names no Startup folder: no shortcut is written anywhere else.
    std::string path() const override;
    bool exists() const override;
    Status place() override;
    void remove() override;
};
