#include "ThingsTable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <numeric>

namespace {

using T = ColumnType;

// Stored order of the file's columns.
constexpr std::array<ColumnDef, ColumnCount> Defs = {{
    {"N", "N", T::Int32, 0, 0},
    {"DATA", "Data", T::Real, 0, 0},
    {"DATEORDAY", "DateOrDay", T::Word, 1, 0},
    {"MON", "mon", T::Word, 2, 0},
    {"TUE", "tue", T::Word, 3, 0},
    {"WED", "wed", T::Word, 4, 0},
    {"THU", "thu", T::Word, 5, 0},
    {"FRI", "fri", T::Word, 6, 0},
    {"SAT", "sat", T::Word, 7, 0},
    {"SUN", "sun", T::Word, 8, 0},
    {"MESSSHOW", "MessShow", T::Word, 9, 0},
    {"ANIM", "Anim", T::Word, 10, 0},
    {"SOUND", "Sound", T::Word, 11, 0},
    {"HINT", "Hint", T::Word, 12, 0},
    {"RUNPROG", "RunProg", T::Word, 13, 0},
    {"COMMENT", "Comment", T::Text, 0, 100},
    {"SPATH", "SPath", T::Text, 1, 511},
    {"WSOUND", "WSound", T::Word, 14, 0},
    {"EMONTH", "emonth", T::Word, 15, 0},
    {"PPATH", "PPath", T::Text, 2, 511},
    {"afterStart", "afterStart", T::Word, 16, 0},
    {"MinutesAfterStart", "MinutesAfterStart", T::Int32, 17, 0},
    {"CrDate", "CrDate", T::Real, 1, 0},
    {"Special", "Special", T::Word, 18, 0},
    {"Shutdown", "Shutdown", T::Word, 19, 0},
}};

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Message order: letters compare without regard to case first, then as stored.
int CompareComments(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

const ColumnDef& Column(Col c) {
    return Defs[static_cast<std::size_t>(c)];
}
const std::array<ColumnDef, ColumnCount>& Columns() {
    return Defs;
}

std::optional<Col> ColumnByName(std::string_view name) {
    for (int i = 0; i < ColumnCount; ++i)
        if (EqualNoCase(name, Defs[i].storedName) || EqualNoCase(name, Defs[i].nameInUse))
            return static_cast<Col>(i);
    return std::nullopt;
}

std::string ThingRow::AsText(Col c) const {
    if (IsNull(c))
        return {};
    switch (Column(c).type) {
    case ColumnType::Text:
        return Text(c);
    case ColumnType::Real: {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", Real(c));
        return buf;
    }
    default:
        return std::to_string(Int(c));
    }
}

// --- table --------------------------------------------------------------------

std::optional<std::size_t> ThingsTable::IndexOf(RowId id) const {
    // Ids grow in stored order, so the rows are sorted by id.
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), id,
                                     [](const Entry& e, RowId v) { return e.id < v; });
    if (it == rows_.end() || it->id != id)
        return std::nullopt;
    return static_cast<std::size_t>(it - rows_.begin());
}

const ThingRow* ThingsTable::Find(RowId id) const {
    const auto i = IndexOf(id);
    return i ? &rows_[*i].row : nullptr;
}

RowId ThingsTable::Insert(ThingRow row) {
    rows_.push_back({nextId_, std::move(row)});
    ++version_;
    return nextId_++;
}

bool ThingsTable::Update(RowId id, ThingRow row) {
    const auto i = IndexOf(id);
    if (!i)
        return false;
    rows_[*i].row = std::move(row);
    ++version_;
    return true;
}

bool ThingsTable::Remove(RowId id) {
    const auto i = IndexOf(id);
    if (!i)
        return false;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*i));
    ++version_;
    return true;
}

void ThingsTable::Assign(std::vector<ThingRow> rows) {
    rows_.clear();
    rows_.reserve(rows.size());
    for (auto& r : rows)
        rows_.push_back({nextId_++, std::move(r)});
    ++version_;
}

std::vector<ThingRow> ThingsTable::Rows() const {
    std::vector<ThingRow> out;
    out.reserve(rows_.size());
    for (const auto& e : rows_)
        out.push_back(e.row);
    return out;
}

// --- cursor -------------------------------------------------------------------

void ThingsCursor::Open() {
    active_ = true;
    First();
}

void ThingsCursor::Close() {
    active_ = false;
    current_ = 0;
    pos_ = -1;
    eof_ = true;
}

void ThingsCursor::Sync() const {
    if (synced_ == table_.Version())
        return;
    const std::size_t n = table_.Count();
    order_index_.resize(n);
    std::iota(order_index_.begin(), order_index_.end(), std::size_t{0});
    if (order_ == CursorOrder::Comment) {
        std::stable_sort(order_index_.begin(), order_index_.end(),
                         [this](std::size_t a, std::size_t b) {
                             return CompareComments(table_.RowAt(a).Text(Col::Comment),
                                                    table_.RowAt(b).Text(Col::Comment)) < 0;
                         });
    } else if (order_ == CursorOrder::Number) {
        std::stable_sort(order_index_.begin(), order_index_.end(),
                         [this](std::size_t a, std::size_t b) {
                             const ThingRow& x = table_.RowAt(a);
                             const ThingRow& y = table_.RowAt(b);
                             // Null numbers sort first, as an index puts them.
                             if (x.IsNull(Col::N) != y.IsNull(Col::N))
                                 return x.IsNull(Col::N);
                             return x.Int(Col::N) < y.Int(Col::N);
                         });
    }
    synced_ = table_.Version();
    // Find the current row again; if it is gone, the row now at its place is current.
    if (current_ != 0) {
        const auto stored = table_.IndexOf(current_);
        int found = -1;
        if (stored) {
            const auto it = std::find(order_index_.begin(), order_index_.end(), *stored);
            found = static_cast<int>(it - order_index_.begin());
        }
        if (found < 0) {
            pos_ = std::min(pos_, static_cast<int>(n) - 1);
            current_ = pos_ >= 0 ? table_.IdAt(order_index_[pos_]) : 0;
        } else {
            pos_ = found;
        }
    }
}

int ThingsCursor::RecordCount() const {
    if (!active_)
        return 0;
    return static_cast<int>(table_.Count());
}

const ThingRow& ThingsCursor::At(int index) const {
    Sync();
    return table_.RowAt(order_index_[static_cast<std::size_t>(index)]);
}

RowId ThingsCursor::IdAt(int index) const {
    Sync();
    return table_.IdAt(order_index_[static_cast<std::size_t>(index)]);
}

void ThingsCursor::MoveTo(int index) {
    Sync();
    if (!active_ || index < 0 || index >= RecordCount()) {
        eof_ = true;
        return;
    }
    pos_ = index;
    current_ = table_.IdAt(order_index_[static_cast<std::size_t>(index)]);
    eof_ = false;
}

void ThingsCursor::First() {
    MoveTo(0);
    if (eof_) {
        current_ = 0;
        pos_ = -1;
    }
}

void ThingsCursor::Next() {
    Sync();
    if (eof_)
        return;
    if (pos_ + 1 >= RecordCount()) {
        eof_ = true; // stays on the last row, as a dataset does
        return;
    }
    MoveTo(pos_ + 1);
}

bool ThingsCursor::Eof() const {
    return !active_ || eof_ || table_.Count() == 0;
}

int ThingsCursor::RecNo() const {
    Sync();
    return current_ == 0 ? -1 : pos_;
}

RowId ThingsCursor::CurrentId() const {
    Sync();
    return current_;
}

const ThingRow* ThingsCursor::Current() const {
    if (!active_)
        return nullptr;
    Sync();
    return current_ == 0 ? nullptr : table_.Find(current_);
}

bool ThingsCursor::LocateN(std::int32_t n) {
    Sync();
    if (!active_)
        return false;
    for (int i = 0; i < RecordCount(); ++i) {
        const ThingRow& r = At(i);
        if (!r.IsNull(Col::N) && r.Int(Col::N) == n) {
            MoveTo(i);
            return true;
        }
    }
    return false;
}

bool ThingsCursor::LocateId(RowId id) {
    Sync();
    for (int i = 0; active_ && i < RecordCount(); ++i)
        if (IdAt(i) == id) {
            MoveTo(i);
            return true;
        }
    return false;
}
