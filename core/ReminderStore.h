#pragma once
// Reading and writing the reminder file.

#include "core/ReminderTable.h"
#include "core/SideTables.h"
#include "core/Status.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The reminders changed or removed since the last good save, by number: the numbers, and
// every row that now has one of them, in stored order (none for a removed reminder), in
// "things" and in each side table.
struct ReminderChanges {
    std::vector<std::int32_t> numbers; // ascending, each once
    std::vector<ReminderRow> rows;
    SideRows side;

    bool empty() const { return numbers.empty(); }
};

class ReminderStore {
public:
    virtual ~ReminderStore();
    // Reads every row of "things" and of the side tables, in stored order. Missing when there
    // is no file.
    virtual Status load(const std::string& path, std::vector<ReminderRow>& rows,
                        SideRows& side) = 0;
    // Makes a new file holding these rows; either no file or the whole new one survives a
    // crash.
    virtual Status create(const std::string& path, const std::vector<ReminderRow>& rows,
                          const SideRows& side) = 0;
    // Writes the changes into the file in one transaction: for each number, the file's rows
    // with that number, in "things" and in the side tables, become the given ones. Missing
    // when there is no file, also when there is nothing to write.
    virtual Status write(const std::string& path, const ReminderChanges& changes) = 0;

    // The same without the side tables' rows.
    Status load(const std::string& path, std::vector<ReminderRow>& rows) {
        SideRows side;
        return load(path, rows, side);
    }
    Status create(const std::string& path, const std::vector<ReminderRow>& rows) {
        return create(path, rows, {});
    }
};

// things.mln as an SQLite 3 database. Created whole as a new file that is then synced and
// renamed into place; changed in place, one transaction per save, the file keeping its own
// journal mode. Every load and save opens the file by its path and closes it again.
class SqliteReminderStore final : public ReminderStore {
public:
    // The side tables are the program's own unless a test gives others.
    explicit SqliteReminderStore(std::vector<SideTable> sideTables = ::sideTables())
        : m_sideTables(std::move(sideTables)) {}

    using ReminderStore::create;
    using ReminderStore::load;
    Status load(const std::string& path, std::vector<ReminderRow>& rows, SideRows& side) override;
    Status create(const std::string& path, const std::vector<ReminderRow>& rows,
                  const SideRows& side) override;
    Status write(const std::string& path, const ReminderChanges& changes) override;

    // How long another program's lock on the file is waited for.
    static constexpr std::chrono::milliseconds BusyTimeout{2000};
    // How long one load or save may take before it is ended. SQLite looks at the clock at
    // the steps of its loops: one statement's own expressions run to their end.
    static constexpr std::chrono::milliseconds TimeLimit{5000};

    // The steps of a creation (writing the new file, syncing it, renaming it over the old,
    // syncing the folder that holds the rename) and of a write (its changes written, before
    // the commit).
    enum class SaveStep { Write, Sync, Rename, SyncFolder, Commit };
    // Test seam: runs before each step with the path of the file written; returning false
    // stops there. A creation stopped before the rename fails (the new file is removed);
    // before the folder's sync the new file is already in place and counts as done. A write
    // stopped before the commit is rolled back and fails.
    using StepHook = std::function<bool(SaveStep step, const std::string& filePath)>;
    void setStepHookForTests(StepHook hook) { m_stepHook = std::move(hook); }
    // Test seam: another limit than TimeLimit.
    void setTimeLimitForTests(std::chrono::milliseconds limit) { m_timeLimit = limit; }

private:
    bool proceed(SaveStep step, const std::string& filePath) const {
        return !m_stepHook || m_stepHook(step, filePath);
    }

    std::vector<SideTable> m_sideTables;
    StepHook m_stepHook;
    std::chrono::milliseconds m_timeLimit = TimeLimit;
};

std::unique_ptr<ReminderStore> makeSqliteReminderStore();
