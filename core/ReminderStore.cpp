#include "core/ReminderStore.h"

// Defined here, with the core that every store builds on: the interface's type information
// comes with it, also where no SQLite store is linked.
ReminderStore::~ReminderStore() = default;
