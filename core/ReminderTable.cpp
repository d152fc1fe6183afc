#include "core/ReminderTable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

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

constexpr Col DayColumns[7] = {Col::Mon, Col::Tue, Col::Wed, Col::Thu,
                               Col::Fri, Col::Sat, Col::Sun};

std::int32_t flagWord(bool b) {
    return b ? 1 : 0;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
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

WeekDays ReminderRow::weekDays() const {
    WeekDays days{};
    for (int i = 0; i < 7; ++i)
        days[i] = flag(DayColumns[i]);
    return days;
}

void ReminderRow::setFields(const Reminder& r) {
    setInteger(Col::AfterStart, flagWord(r.afterStart));
    setInteger(Col::EMonth, r.monthDay);
    setInteger(Col::DateOrDay, static_cast<std::uint16_t>(r.kind));
    for (int i = 0; i < 7; ++i)
        setInteger(DayColumns[i], flagWord(r.days[i]));
    setInteger(Col::MessShow, flagWord(r.showAlert));
    setInteger(Col::Anim, flagWord(r.flashTray));
    setInteger(Col::Sound, flagWord(r.playSound));
    setInteger(Col::RunProg, flagWord(r.openFile));
    setText(Col::Comment, r.message);
    setText(Col::SPath, r.soundPath);
    setInteger(Col::WSound, flagWord(r.click));
    setText(Col::PPath, r.openPath);
    setInteger(Col::MinutesAfterStart, r.minutesAfterStart);
    setMoment(Col::Data, r.moment);
    setInteger(Col::Special, flagWord(r.power));
    setInteger(Col::Shutdown, flagWord(r.powerAction == PowerAction::PowerOff));
}

Reminder reminderFromRow(const ReminderRow& row) {
    Reminder r;
    r.number = row.number();
    r.moment = row.moment();
    r.message = row.message();
    r.soundPath = row.soundPath();
    r.kind = row.kind();
    r.days = row.weekDays();
    r.monthDay = row.monthDay();
    r.showAlert = row.showAlert();
    r.click = row.click();
    r.flashTray = row.flashTray();
    r.playSound = row.playSound();
    r.openFile = row.openFile();
    r.openPath = row.openPath();
    r.afterStart = row.isAfterStart();
    r.minutesAfterStart = row.minutesAfterStart();
    r.power = row.power();
    r.powerAction = row.powerAction();
    r.created = row.created();
    return r;
}

ReminderRow rowFromReminder(const Reminder& reminder) {
    ReminderRow row;
    row.setInteger(Col::N, reminder.number);
    row.setFields(reminder);
    row.setMoment(Col::CrDate, reminder.created);
    return row;
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
    changed(m_nextId);
    return m_nextId++;
}

bool ReminderTable::update(RowId id, ReminderRow row) {
    const auto i = indexOf(id);
    if (!i)
        return false;
    m_rows[*i].row = std::move(row);
    changed(id);
    return true;
}

bool ReminderTable::remove(RowId id) {
    const auto i = indexOf(id);
    if (!i)
        return false;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*i));
    changed(id);
    return true;
}

void ReminderTable::assign(std::vector<ReminderRow> rows) {
    m_rows.clear();
    m_rows.reserve(rows.size());
    for (auto& r : rows)
        m_rows.push_back({m_nextId++, std::move(r)});
    ++m_version;
    m_replacedAt = m_version;
    m_changes.clear();
}

void ReminderTable::changed(RowId id) {
    ++m_version;
    // A user's edits are few; a flood of them is forgotten and counts as a replacement.
    constexpr std::size_t Remembered = 4096;
    if (m_changes.size() == Remembered) {
        m_changes.clear();
        m_replacedAt = m_version;
        return;
    }
    m_changes.emplace_back(m_version, id);
}

std::optional<std::vector<RowId>> ReminderTable::changedSince(std::uint64_t version) const {
    if (version < m_replacedAt)
        return std::nullopt;
    std::vector<RowId> ids;
    const auto first =
        std::upper_bound(m_changes.begin(), m_changes.end(), version,
                         [](std::uint64_t v, const auto& change) { return v < change.first; });
    for (auto it = first; it != m_changes.end(); ++it)
        ids.push_back(it->second);
    return ids;
}

std::vector<ReminderRow> ReminderTable::rows() const {
    std::vector<ReminderRow> out;
    out.reserve(m_rows.size());
    for (const auto& e : m_rows)
        out.push_back(e.row);
    return out;
}
