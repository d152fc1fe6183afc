#include "core/ReminderTable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <numeric>

namespace {

using T = ColumnType;

// Stored order of the file's columns.
constexpr std::array<ColumnDef, ColumnCount> Definitions = {{
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

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Message order: letters compare without regard to case first, then as stored.
int compareMessages(const std::string& a, const std::string& b) {
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

const ColumnDef& column(Col c) {
    return Definitions[static_cast<std::size_t>(c)];
}
const std::array<ColumnDef, ColumnCount>& columns() {
    return Definitions;
}

std::optional<Col> columnByName(std::string_view name) {
    for (int i = 0; i < ColumnCount; ++i)
        if (equalNoCase(name, Definitions[i].storedName) ||
            equalNoCase(name, Definitions[i].nameInUse))
            return static_cast<Col>(i);
    return std::nullopt;
}

std::string ReminderRow::asText(Col c) const {
    if (isNull(c))
        return {};
    switch (column(c).type) {
    case ColumnType::Text:
        return text(c);
    case ColumnType::Real: {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", real(c));
        return buf;
    }
    default:
        return std::to_string(integer(c));
    }
}

// --- table --------------------------------------------------------------------

std::optional<std::size_t> ReminderTable::indexOf(RowId id) const {
    // Ids grow in stored order, so the rows are sorted by id.
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), id,
                                     [](const Entry& e, RowId v) { return e.id < v; });
    if (it == m_rows.end() || it->id != id)
        return std::nullopt;
    return static_cast<std::size_t>(it - m_rows.begin());
}

const ReminderRow* ReminderTable::find(RowId id) const {
    const auto i = indexOf(id);
    return i ? &m_rows[*i].row : nullptr;
}

RowId ReminderTable::insert(ReminderRow row) {
    m_rows.push_back({m_nextId, std::move(row)});
    ++m_version;
    return m_nextId++;
}

bool ReminderTable::update(RowId id, ReminderRow row) {
    const auto i = indexOf(id);
    if (!i)
        return false;
    m_rows[*i].row = std::move(row);
    ++m_version;
    return true;
}

bool ReminderTable::remove(RowId id) {
    const auto i = indexOf(id);
    if (!i)
        return false;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*i));
    ++m_version;
    return true;
}

void ReminderTable::assign(std::vector<ReminderRow> rows) {
    m_rows.clear();
    m_rows.reserve(rows.size());
    for (auto& r : rows)
        m_rows.push_back({m_nextId++, std::move(r)});
    ++m_version;
}

std::vector<ReminderRow> ReminderTable::rows() const {
    std::vector<ReminderRow> out;
    out.reserve(m_rows.size());
    for (const auto& e : m_rows)
        out.push_back(e.row);
    return out;
}

// --- cursor -------------------------------------------------------------------

void ReminderCursor::open() {
    m_active = true;
    first();
}

void ReminderCursor::close() {
    m_active = false;
    m_current = 0;
    m_pos = -1;
    m_atEnd = true;
}

void ReminderCursor::sync() const {
    if (m_syncedVersion == m_table.version())
        return;
    const std::size_t n = m_table.count();
    m_orderIndex.resize(n);
    std::iota(m_orderIndex.begin(), m_orderIndex.end(), std::size_t{0});
    if (m_order == CursorOrder::Message) {
        std::stable_sort(m_orderIndex.begin(), m_orderIndex.end(),
                         [this](std::size_t a, std::size_t b) {
                             return compareMessages(m_table.rowAt(a).text(Col::Comment),
                                                    m_table.rowAt(b).text(Col::Comment)) < 0;
                         });
    } else if (m_order == CursorOrder::Number) {
        std::stable_sort(m_orderIndex.begin(), m_orderIndex.end(),
                         [this](std::size_t a, std::size_t b) {
                             const ReminderRow& x = m_table.rowAt(a);
                             const ReminderRow& y = m_table.rowAt(b);
                             // Null numbers sort first, as an index puts them.
                             if (x.isNull(Col::N) != y.isNull(Col::N))
                                 return x.isNull(Col::N);
                             return x.integer(Col::N) < y.integer(Col::N);
                         });
    }
    m_syncedVersion = m_table.version();
    // find the current row again; if it is gone, the row now at its place is current.
    if (m_current != 0) {
        const auto stored = m_table.indexOf(m_current);
        int found = -1;
        if (stored) {
            const auto it = std::find(m_orderIndex.begin(), m_orderIndex.end(), *stored);
            found = static_cast<int>(it - m_orderIndex.begin());
        }
        if (found < 0) {
            m_pos = std::min(m_pos, static_cast<int>(n) - 1);
            m_current = m_pos >= 0 ? m_table.idAt(m_orderIndex[m_pos]) : 0;
        } else {
            m_pos = found;
        }
    }
}

int ReminderCursor::recordCount() const {
    if (!m_active)
        return 0;
    return static_cast<int>(m_table.count());
}

const ReminderRow& ReminderCursor::at(int index) const {
    sync();
    return m_table.rowAt(m_orderIndex[static_cast<std::size_t>(index)]);
}

RowId ReminderCursor::idAt(int index) const {
    sync();
    return m_table.idAt(m_orderIndex[static_cast<std::size_t>(index)]);
}

void ReminderCursor::moveTo(int index) {
    sync();
    if (!m_active || index < 0 || index >= recordCount()) {
        m_atEnd = true;
        return;
    }
    m_pos = index;
    m_current = m_table.idAt(m_orderIndex[static_cast<std::size_t>(index)]);
    m_atEnd = false;
}

void ReminderCursor::first() {
    moveTo(0);
    if (m_atEnd) {
        m_current = 0;
        m_pos = -1;
    }
}

void ReminderCursor::next() {
    sync();
    if (m_atEnd)
        return;
    if (m_pos + 1 >= recordCount()) {
        m_atEnd = true; // stays on the last row, as a dataset does
        return;
    }
    moveTo(m_pos + 1);
}

bool ReminderCursor::atEnd() const {
    return !m_active || m_atEnd || m_table.count() == 0;
}

int ReminderCursor::position() const {
    sync();
    return m_current == 0 ? -1 : m_pos;
}

RowId ReminderCursor::currentId() const {
    sync();
    return m_current;
}

const ReminderRow* ReminderCursor::current() const {
    if (!m_active)
        return nullptr;
    sync();
    return m_current == 0 ? nullptr : m_table.find(m_current);
}

bool ReminderCursor::locateNumber(std::int32_t n) {
    sync();
    if (!m_active)
        return false;
    for (int i = 0; i < recordCount(); ++i) {
        const ReminderRow& r = at(i);
        if (!r.isNull(Col::N) && r.integer(Col::N) == n) {
            moveTo(i);
            return true;
        }
    }
    return false;
}

bool ReminderCursor::locateId(RowId id) {
    sync();
    for (int i = 0; m_active && i < recordCount(); ++i)
        if (idAt(i) == id) {
            moveTo(i);
            return true;
        }
    return false;
}
