#pragma once
// The reminder table: its stored columns and the rows in stored order. Orders
// for showing the rows belong to the views that show them.

#include "core/Moment.h"
#include "core/Reminder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

const ColumnDef& column(Col c);
const std::array<ColumnDef, ColumnCount>& columns();
// Looks a column up by name without regard to case (stored name or name in use).
std::optional<Col> columnByName(std::string_view name);

constexpr int IntSlots = 20;

// One stored row. Every column may be null. Date columns hold the stored day count
// itself, so that a file read and written back is unchanged to the last bit.
class ReminderRow {
public:
    bool isNull(Col c) const { return (m_nulls >> static_cast<int>(c)) & 1u; }
    void setNull(Col c) { m_nulls |= 1u << static_cast<int>(c); }

    std::int32_t integer(Col c) const { return isNull(c) ? 0 : m_ints[column(c).slot]; }
    double real(Col c) const { return isNull(c) ? 0.0 : m_reals[column(c).slot]; }
    const std::string& text(Col c) const { return m_texts[column(c).slot]; }
    // A 16-bit column's value; 0 for null.
    std::uint16_t word(Col c) const { return static_cast<std::uint16_t>(integer(c)); }
    // A flag is true only when it holds exactly 1.
    bool flag(Col c) const { return !isNull(c) && m_ints[column(c).slot] == 1; }
    // A date column's value as a moment; DayCountEpoch for null.
    Moment moment(Col c) const { return fromDayCount(real(c)); }

    void setInteger(Col c, std::int32_t v) {
        m_ints[column(c).slot] = v;
        clearNull(c);
    }
    void setReal(Col c, double v) {
        m_reals[column(c).slot] = v;
        clearNull(c);
    }
    void setMoment(Col c, Moment m) { setReal(c, toDayCount(m)); }
    void setText(Col c, std::string v) {
        m_texts[column(c).slot] = std::move(v);
        clearNull(c);
    }
    // The field's value as text; empty for null.
    std::string asText(Col c) const;

    // The fields as the program reads them: a flag is true only when it holds exactly 1;
    // a null number or count reads as 0, a null date as DayCountEpoch.
    bool hasNumber() const { return !isNull(Col::N); }
    std::int32_t number() const { return integer(Col::N); }
    Moment moment() const { return moment(Col::Data); }
    ScheduleKind kind() const { return static_cast<ScheduleKind>(word(Col::DateOrDay)); }
    std::uint16_t monthDay() const { return word(Col::EMonth); }
    WeekDays weekDays() const;
    const std::string& message() const { return text(Col::Comment); }
    const std::string& soundPath() const { return text(Col::SPath); }
    const std::string& openPath() const { return text(Col::PPath); }
    bool showAlert() const { return flag(Col::MessShow); }
    bool flashTray() const { return flag(Col::Anim); }
    bool playSound() const { return flag(Col::Sound); }
    bool openFile() const { return flag(Col::RunProg); }
    bool click() const { return flag(Col::WSound); }
    // The hint flag; only other programs write it.
    bool showHint() const { return flag(Col::Hint); }
    bool isAfterStart() const { return flag(Col::AfterStart); }
    // Holds a schedule: the after-start field holds a value other than 1. A row whose
    // field is null is neither scheduled nor after start.
    bool isScheduled() const { return !isNull(Col::AfterStart) && !isAfterStart(); }
    std::int32_t minutesAfterStart() const { return integer(Col::MinutesAfterStart); }
    bool power() const { return flag(Col::Special); }
    PowerAction powerAction() const {
        return flag(Col::Shutdown) ? PowerAction::PowerOff : PowerAction::Reboot;
    }
    Moment created() const { return moment(Col::CrDate); }

    // Writes the record's fields, all but its number and its creation moment; the other
    // fields (the hint) keep their values.
    void setFields(const Reminder& reminder);

    bool operator==(const ReminderRow&) const = default;

private:
    void clearNull(Col c) { m_nulls &= ~(1u << static_cast<int>(c)); }

    std::array<std::int32_t, IntSlots> m_ints{};
    std::array<double, 2> m_reals{};
    std::array<std::string, 3> m_texts{};
    std::uint32_t m_nulls = (1u << ColumnCount) - 1; // a new row is all null
};

// The row as a record (flags true only for the value 1).
Reminder reminderFromRow(const ReminderRow& row);
// A row holding every field of the record, its number and creation moment too; the hint
// stays null, as in a row the program writes.
ReminderRow rowFromReminder(const Reminder& reminder);

using RowId = std::uint64_t;

// The rows, once, in stored order. All changes go through here.
class ReminderTable {
public:
    std::size_t count() const { return m_rows.size(); }
    const ReminderRow& rowAt(std::size_t storedIndex) const { return m_rows[storedIndex].row; }
    RowId idAt(std::size_t storedIndex) const { return m_rows[storedIndex].id; }
    const ReminderRow* find(RowId id) const;
    std::optional<std::size_t> indexOf(RowId id) const;

    RowId insert(ReminderRow row);
    bool update(RowId id, ReminderRow row);
    bool remove(RowId id);
    // Replaces every row (a load); ids start afresh.
    void assign(std::vector<ReminderRow> rows);
    std::vector<ReminderRow> rows() const;

    // Changes with every insert, update, removal or assignment.
    std::uint64_t version() const { return m_version; }
    // The ids of the rows inserted, updated or removed after `version`; none when the
    // rows were replaced since (or too many changes were made to remember them).
    std::optional<std::vector<RowId>> changedSince(std::uint64_t version) const;

private:
    void changed(RowId id);

    struct Entry {
        RowId id;
        ReminderRow row;
    };
    std::vector<Entry> m_rows;
    RowId m_nextId = 1;
    std::uint64_t m_version = 0;
    // The changes since the rows were last replaced (at m_replacedAt): version, row.
    std::vector<std::pair<std::uint64_t, RowId>> m_changes;
    std::uint64_t m_replacedAt = 0;
};
