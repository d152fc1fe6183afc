#pragma once
// A reminder store in memory: a load gives `rows`, a save replaces them. For tests and
// benchmarks that set up a table of their own without a file.

#include "core/ReminderStore.h"

#include <vector>

struct MemoryReminderStore final : ReminderStore {
    explicit MemoryReminderStore(std::vector<ReminderRow> rows = {}) : rows(std::move(rows)) {}
    bool exists(const std::string&) const override { return true; }
    Status load(const std::string&, std::vector<ReminderRow>& out) override {
        out = rows;
        return {};
    }
    Status save(const std::string&, const std::vector<ReminderRow>& in) override {
        rows = in;
        return {};
    }
    std::vector<ReminderRow> rows;
};
