#pragma once
// The start-up shortcut as an XDG autostart desktop entry: <executable name>.desktop in
// $XDG_CONFIG_HOME/autostart (else ~/.config/autostart), starting the program in the
// executable's folder. The executable is asked for at every use, so a renamed one has its
// own entry.

#include "platform/StartupShortcut.h"

#include <string>

class XdgStartupShortcut final : public StartupShortcut {
public:
    std::string path() const override;
    bool exists() const override;
    // Writes the entry under a temporary name and renames it over the old one.
    Status place() override;
    void remove() override;

    // The desktop entry that starts `executable` (a full path) in its folder, through
    // commandFor; empty for a path that no entry can hold (a line break in it).
    static std::string entryText(const std::string& executable);
    // What the entry runs and tests for: <prefix>/bin/chimly when `executable` lies in
    // <prefix>/lib/chimewell and that link leads to it, so that once the package is removed
    // the desktop skips the entry instead of starting a missing program; else `executable`.
    static std::string commandFor(const std::string& executable);
};
