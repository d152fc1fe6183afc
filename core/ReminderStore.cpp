#include "core/ReminderStore.h"

#include <filesystem>

// Defined here, with the core that every store builds on: the interface's type information
// comes with it, also where no SQLite store is linked.
bool ReminderStore::exists(const std::string& path) const {
    std::error_code ec;
    return std::filesystem::exists(path, ec) || ec;
}
