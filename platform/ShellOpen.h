#pragma once
// Opens a file, document or program the way the desktop would: a program is started, a
// desktop entry launched, anything else opened with the program the desktop associates with it.

#include <string>

// How shellOpen opens a path.
enum class OpenAs {
    // An executable file (a binary or a script with "#!"): started in its own folder, no
    // arguments.
    Program,
    // A ".desktop" file: launched as its entry says.
    DesktopEntry,
    // Anything else, including what is missing: handed to the desktop's opener.
    Document,
};

// How shellOpen would open path (UTF-8). Looks at the file itself, its type, permissions and
// first bytes. On Windows the shell decides, so everything is a Document there.
OpenAs openAsFor(const std::string& path);

// Opens an address that carries its scheme ("https://…", "mailto:…", "file:///…"; UTF-8)
// with the program the desktop associates with the scheme. A "file://" address is the
// plain path after the prefix, spaces and all. Returns false when the desktop reports
// that it could not open it. GUI thread only.
[[nodiscard]] bool shellOpenAddress(const std::string& address);

// Opens path (UTF-8); the opener's result is not examined. A program or desktop entry that
// fails to start is reported on standard error and in the system log, never in a window.
// GUI thread only.
void shellOpen(const std::string& path);
