#pragma once
// Reading and writing the whole reminder file.

#include "core/ReminderTable.h"
#include "core/Status.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ReminderStore {
public:
    virtual ~ReminderStore() = default;
    // Whether there is a file to read; one that cannot be checked counts as there, so
    // that it is never written over.
    virtual bool exists(const std::string& path) const;
    // Reads every row, in stored order.
    virtual Status load(const std::string& path, std::vector<ReminderRow>& rows) = 0;
    // Replaces the file with these rows; either the old or the new file survives a crash.
    virtual Status save(const std::string& path, const std::vector<ReminderRow>& rows) = 0;
};

// things.mln as an SQLite 3 database, written whole to a new file that is then
// synced and renamed over the old one.
class SqliteReminderStore final : public ReminderStore {
public:
    Status load(const std::string& path, std::vector<ReminderRow>& rows) override;
    Status save(const std::string& path, const std::vector<ReminderRow>& rows) override;

    // The steps of a save: writing the new file, syncing it, renaming it over the old,
    // syncing the folder that holds the rename.
    enum class SaveStep { Write, Sync, Rename, SyncFolder };
    // Test seam: runs before each step of a save with the new file's path; returning
    // false stops the save there. Before the rename that fails it (the new file is
    // removed, the old one stays); before the folder's sync the new file is already in
    // place and the save counts as done.
    using StepHook = std::function<bool(SaveStep step, const std::string& newFilePath)>;
    void setStepHookForTests(StepHook hook) { m_stepHook = std::move(hook); }

private:
    bool proceed(SaveStep step, const std::string& newFilePath) const {
        return !m_stepHook || m_stepHook(step, newFilePath);
    }

    StepHook m_stepHook;
};

std::unique_ptr<ReminderStore> makeSqliteReminderStore();
