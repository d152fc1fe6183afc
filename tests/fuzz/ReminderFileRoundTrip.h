#pragma once
// What loading a reminder file must do with any content: fail cleanly, or give reminders that
// write back and load again as the same reminders. Shared by the fuzz target and the tests of
// its findings.

#include "core/ReminderStore.h"

#include <string>

// Loads the file at path and writes what it read to copyPath; what broke, or empty.
inline std::string reminderFileRoundTripFailure(const std::string& path,
                                                const std::string& copyPath) {
    SqliteReminderStore store;
    std::vector<ReminderRow> rows;
    if (!store.load(path, rows))
        return {};
    if (const Status saved = store.create(copyPath, rows); !saved)
        return "a file that loads was not written back: " + saved.error;
    std::vector<ReminderRow> again;
    if (const Status loaded = store.load(copyPath, again); !loaded)
        return "a file written back does not load: " + loaded.error;
    if (again != rows)
        return "a file written back loads as other reminders";
    return {};
}
