#pragma once
// Reading and writing the whole reminder table file.

#include "ThingsTable.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct StoreResult {
    bool ok = true;
    std::string error; // the reason, when not ok
};

class ThingsStore {
public:
    virtual ~ThingsStore() = default;
    // Reads every row, in stored order.
    virtual StoreResult Load(const std::string& path, std::vector<ThingRow>& rows) = 0;
    // Replaces the file with these rows; either the old or the new file survives a crash.
    virtual StoreResult Save(const std::string& path, const std::vector<ThingRow>& rows) = 0;
};

// things.mln as an SQLite 3 database.
class SqliteThingsStore final : public ThingsStore {
public:
    StoreResult Load(const std::string& path, std::vector<ThingRow>& rows) override;
    StoreResult Save(const std::string& path, const std::vector<ThingRow>& rows) override;

    // Test seam: runs after the new file is complete, before it replaces the old one.
    // Returning false abandons the save.
    std::function<bool(const std::string& tempPath)> beforeReplace;
};

std::unique_ptr<ThingsStore> MakeDefaultThingsStore();
