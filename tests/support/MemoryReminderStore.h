#pragma once
// A reminder store in memory: a load gives `rows` and `side`, a creation replaces them, a
// write changes them as the file's rows would change. For tests and benchmarks that set up a table
// of their own without a file.

#include "core/ReminderStore.h"

#include <algorithm>
#include <iterator>
#include <vector>

struct MemoryReminderStore final : ReminderStore {
    explicit MemoryReminderStore(std::vector<ReminderRow> rows = {}) : rows(std::move(rows)) {}
    using ReminderStore::create;
    using ReminderStore::load;
    Status load(const std::string&, std::vector<ReminderRow>& out, SideRows& outSide) override {
        out = rows;
        outSide = side;
        return {};
    }
    Status create(const std::string&, const std::vector<ReminderRow>& in,
                  const SideRows& inSide) override {
        rows = in;
        side = inSide;
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
            if (side.size() < changes.side.size())
                side.resize(changes.side.size());
            for (std::size_t t = 0; t < side.size(); ++t) {
                std::erase_if(side[t], [n](const SideRow& row) { return row.number == n; });
                if (t < changes.side.size())
                    std::copy_if(changes.side[t].begin(), changes.side[t].end(),
                                 std::back_inserter(side[t]),
                                 [n](const SideRow& row) { return row.number == n; });
            }
        }
        return {};
    }
    std::vector<ReminderRow> rows;
    SideRows side;
};
