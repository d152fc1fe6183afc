#pragma once
// The tables of the reminder file beside "things": what the program keeps about a reminder
// beyond its 25 columns. Each row belongs to one reminder through its number ("N"); the rows
// are read and checked with the reminders, written in the same transaction as their
// reminder's rows, carried whole into a file made anew, and removed with their reminder.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

enum class SideType { Integer, Real, Text };

struct SideColumn {
    std::string name;
    SideType type = SideType::Integer;
    // The most characters a text may hold.
    int maxLength = 0;
    // The column is never null.
    bool required = false;
};

struct SideTable {
    std::string name;
    // The columns after "N", in stored order.
    std::vector<SideColumn> columns;
    // At most one row per reminder: "N" is the table's key.
    bool onePerReminder = false;
};

// A value of a side table's cell: none (null), a whole number, a real number or text.
using SideValue = std::variant<std::monostate, std::int64_t, double, std::string>;

struct SideRow {
    std::int32_t number = 0;
    // One value per declared column, in their order.
    std::vector<SideValue> values;
    bool operator==(const SideRow&) const = default;
};

// The rows of every side table: one list per declared table, in the order declared. A list
// may be shorter than the declared tables; the missing ones have no rows.
using SideRows = std::vector<std::vector<SideRow>>;

// The side tables of the program's reminder file, the one place they are declared.
const std::vector<SideTable>& sideTables();
// The place of the declared table `name` among sideTables().
std::size_t sideTableIndex(const std::string& name);

// An alert window open or postponed: the reminder's number and the occurrence it shows, as
// ISO 8601 text with its offset from UTC. Written when the window opens, removed when the
// user answers it, so that an alert the program did not live to see answered is listed in
// the journal at the next start.
inline const std::string PendingAlertsTable = "pending_alerts";
