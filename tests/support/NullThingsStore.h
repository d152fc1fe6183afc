#pragma once
// A reminder-table store that keeps nothing: for tests and benchmarks that work on
// the table in memory only.

#include "ThingsStore.h"

struct NullThingsStore final : ThingsStore {
    StoreResult Load(const std::string&, std::vector<ThingRow>&) override { return {}; }
    StoreResult Save(const std::string&, const std::vector<ThingRow>&) override { return {}; }
};
