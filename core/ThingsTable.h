#pragma once
// The reminder table: its stored columns, the rows in stored order, and cursors
// that walk the same rows in their own orders.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class Col : int {
    N,
    Data,
    DateOrDay,
    Mon,
    Tue,
    Wed,
    Thu,
    Fri,
    Sat,
    Sun,
    MessShow,
    Anim,
    Sound,
    Hint,
    RunProg,
    Comment,
    SPath,
    WSound,
    EMonth,
    PPath,
    AfterStart,
    MinutesAfterStart,
    CrDate,
    Special,
    Shutdown,
};
constexpr int ColumnCount = 25;

enum class ColumnType { Int32, Word, Real, Text };

struct ColumnDef {
    const char* storedName; // name the file's table is created with
    const char* nameInUse;  // name the program writes it with
    ColumnType type;
    int slot;    // index into the row's storage of that type
    int maxSize; // characters for text columns
};

const ColumnDef& Column(Col c);
const std::array<ColumnDef, ColumnCount>& Columns();
// Looks a column up by name without regard to case (stored name or name in use).
std::optional<Col> ColumnByName(std::string_view name);

constexpr int IntSlots = 20;

// One stored row. Every column may be null.
class ThingRow {
public:
    bool IsNull(Col c) const { return (nulls_ >> static_cast<int>(c)) & 1u; }
    void SetNull(Col c) { nulls_ |= 1u << static_cast<int>(c); }

    std::int32_t Int(Col c) const { return IsNull(c) ? 0 : ints_[Column(c).slot]; }
    double Real(Col c) const { return IsNull(c) ? 0.0 : reals_[Column(c).slot]; }
    const std::string& Text(Col c) const { return texts_[Column(c).slot]; }
    // A 16-bit column's value; 0 for null.
    std::uint16_t Word(Col c) const { return static_cast<std::uint16_t>(Int(c)); }
    // A flag is true only when it holds exactly 1.
    bool Flag(Col c) const { return !IsNull(c) && ints_[Column(c).slot] == 1; }

    void SetInt(Col c, std::int32_t v) {
        ints_[Column(c).slot] = v;
        Clear(c);
    }
    void SetReal(Col c, double v) {
        reals_[Column(c).slot] = v;
        Clear(c);
    }
    void SetText(Col c, std::string v) {
        texts_[Column(c).slot] = std::move(v);
        Clear(c);
    }
    // The field's value as text; empty for null.
    std::string AsText(Col c) const;

    bool operator==(const ThingRow&) const = default;

private:
    void Clear(Col c) { nulls_ &= ~(1u << static_cast<int>(c)); }

    std::array<std::int32_t, IntSlots> ints_{};
    std::array<double, 2> reals_{};
    std::array<std::string, 3> texts_{};
    std::uint32_t nulls_ = (1u << ColumnCount) - 1; // a new row is all null
};

using RowId = std::uint64_t;

class ThingsCursor;

// The rows, once, in stored order. All changes go through here; cursors follow.
class ThingsTable {
public:
    std::size_t Count() const { return rows_.size(); }
    const ThingRow& RowAt(std::size_t storedIndex) const { return rows_[storedIndex].row; }
    RowId IdAt(std::size_t storedIndex) const { return rows_[storedIndex].id; }
    const ThingRow* Find(RowId id) const;
    std::optional<std::size_t> IndexOf(RowId id) const;

    RowId Insert(ThingRow row);
    bool Update(RowId id, ThingRow row);
    bool Remove(RowId id);
    // Replaces every row (a load); ids start afresh.
    void Assign(std::vector<ThingRow> rows);
    std::vector<ThingRow> Rows() const;

    // Changes with every insert, update, removal or assignment.
    std::uint64_t Version() const { return version_; }

private:
    struct Entry {
        RowId id;
        ThingRow row;
    };
    std::vector<Entry> rows_;
    RowId nextId_ = 1;
    std::uint64_t version_ = 0;
};

enum class CursorOrder {
    Stored,  // as the rows are stored
    Comment, // by message (index iThingsText)
    Number,  // by number (index iN)
};

// An independent position over the table's rows in one order. A cursor keeps its
// current row across changes made elsewhere; it is moved only by its own calls.
class ThingsCursor {
public:
    ThingsCursor(const ThingsTable& table, CursorOrder order) : table_(table), order_(order) {}

    bool Active() const { return active_; }
    void Open();
    void Close();

    int RecordCount() const;
    // Row at a position of this cursor's order (0-based).
    const ThingRow& At(int index) const;
    RowId IdAt(int index) const;

    void First();
    void Next();
    bool Eof() const;
    // Position of the current row in this order, -1 when none.
    int RecNo() const;
    void MoveTo(int index);
    // Makes the first row with number n current.
    bool LocateN(std::int32_t n);
    bool LocateId(RowId id);

    const ThingRow* Current() const;
    RowId CurrentId() const;

private:
    void Sync() const;

    const ThingsTable& table_;
    CursorOrder order_;
    bool active_ = false;
    mutable RowId current_ = 0;
    mutable int pos_ = -1; // position of current_ in order_index_
    bool eof_ = true;
    mutable std::vector<std::size_t> order_index_; // stored indexes in this order
    mutable std::uint64_t synced_ = ~0ull;
};
