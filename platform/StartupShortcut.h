#pragma once
// The program's entry in the desktop's list of programs started at log-in: an XDG autostart
// desktop entry on Linux, a shell link in the user's Startup folder on Windows. Plain C++ so
// that the Windows implementation needs no Qt. Paths are UTF-8.

#include "core/Status.h"

#include <memory>
#include <string>

class StartupShortcut {
public:
    virtual ~StartupShortcut() = default;

    // Where the shortcut of the running executable lies, named after the executable; empty
    // when the desktop has no start-up folder to put it in.
    virtual std::string path() const = 0;
    virtual bool exists() const = 0;
    // Writes the shortcut, replacing one already there; a failure leaves no shortcut
    // half-written.
    virtual Status place() = 0;
    // Deletes the shortcut if there is one.
    virtual void remove() = 0;
};

// The platform's shortcut: the XDG autostart entry on Linux, the Startup folder's shell link
// on Windows, for the running executable.
std::unique_ptr<StartupShortcut> createStartupShortcut();
