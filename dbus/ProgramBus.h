#pragma once
// The running program on the user's session bus, and the command line that talks to it.
// Linux only: elsewhere publishing does nothing and every argument belongs to the program.

#include "core/Status.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class ProgramCommands;
class Reminders;

// Puts the reminders and the commands at /org/chimewell/Chimewell and takes the name
// org.chimewell.Chimewell (never queued: the lock file decides which instance runs). The
// object lives as long as the returned one; the failure says why there is none (no session
// bus, the name taken).
struct PublishedProgram {
    std::unique_ptr<QObject> object;
    Status status;
};
PublishedProgram publishProgram(Reminders& reminders, ProgramCommands& commands,
                                const QString& version);

// Runs a command of the command line (add, list, remove, show, new, journal, sound-off, quit,
// autostart, --help, --version) and gives its exit code; nothing when the arguments are the
// program's own (none, or Qt's options), so that the program starts. No display is needed.
std::optional<int> runCommandLine(int argc, char** argv, const QString& version);
