#pragma once
// A reminder store in memory: a load gives `rows`, a creation replaces them, a write
// changes them as the file's rows would change. For tests and benchmarks that set up a table
// of their own without a file.

#include "core/ReminderStore.h"

#include <algorithm>
#include <vector>

struct MemoryReminderStore final : ReminderStore {
    explicit MemoryReminderStore(std::vector<ReminderRow> rows = {}) : rows(std::move(rows)) {}
    Status load(const std::string&, std::vector<ReminderRow>& out) override {
        out = rows;
        return {};
    }
    Status create(const std::string&, const std::vector<ReminderRow>& in) override {
        rows = in;
        return {};
    }
    // For each number, its rows in order take the places of the stored ones; the rest of
    // the stored ones go, the rest of the new ones come at the end.
    Status write(const std::string&, const ReminderChanges& changes) override {
        const auto hasNumber = [](const ReminderRow& row, std::int32_t n) {
            return !row.isNull(Col::N) && row.integer(Col::N) == n;
        };
        for (std::int32_t n : changes.numbers) {
            std::vector<ReminderRow> wanted;
            for (const ReminderRow& row : changes.rows)
                if (hasNumber(row, n))
                    wanted.push_back(row);
            std::size_t next = 0;
            std::vector<ReminderRow> kept;
            for (ReminderRow& row : rows) {
                if (!hasNumber(row, n))
                    kept.push_back(std::move(row));
                else if (next < wanted.size())
                    kept.push_back(wanted[next++]);
            }
            kept.insert(kept.end(), wanted.begin() + static_cast<std::ptrdiff_t>(next),
                        wanted.end());
            rows = std::move(kept);
        }
        return {};
    }
    std::vector<ReminderRow> rows;
};
