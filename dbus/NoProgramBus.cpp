// Windows: the program has no session bus and no command line of its own.
#include "dbus/ProgramBus.h"

PublishedProgram publishProgram(Reminders&, ProgramCommands&, const QString&) {
    return {nullptr, Status::failure("No session bus on this system")};
}

std::optional<int> runCommandLine(int, char**, const QString&) {
    return std::nullopt;
}
