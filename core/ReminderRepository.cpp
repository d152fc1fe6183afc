#include "core/ReminderRepository.h"

#include "core/Occurrence.h"
#include "core/ScheduleText.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <unordered_set>

Moment rowNextOccurrence(const ReminderRow& row, Moment from) {
    if (row.isAfterStart())
        return afterStartMoment();
    return nextOccurrence(row.kind(), row.monthDay(), row.moment(), row.weekDays(), from);
}

Moment rowPreviousOccurrence(const ReminderRow& row, Moment until) {
    return previousOccurrence(row.kind(), row.monthDay(), row.moment(), row.weekDays(), until);
}

Moment rowNextTime(const ReminderRow& row, UtcInstant now, const TimeZoneSpan& zone) {
    if (row.isAfterStart())
        return afterStartMoment();
    Moment next = rowNextOccurrence(row, zone.toLocal(now));
    // In an hour the clock shows twice, the first showing of the minute may be past.
    if (zone.toUtc(next) <= now && row.kind() != ScheduleKind::Once)
        next = rowNextOccurrence(row, next);
    return zone.reached(next);
}

std::string rowDescription(const ReminderRow& row, const Texts& texts) {
    // The after-start field as stored: a value other than 0 and 1 describes nothing.
    return scheduleDescription(row.kind(), row.monthDay(), row.word(Col::AfterStart), row.moment(),
                               row.minutesAfterStart(), row.weekDays(), texts);
}

std::string whyReminderDoesNotFit(const Reminder& r) {
    // Paths are refused rather than cut: a cut path would name another file.
    const auto maxText = static_cast<std::size_t>(column(Col::Comment).maxSize);
    const auto maxPath = static_cast<std::size_t>(column(Col::SPath).maxSize);
    if (utf8Length(r.message) > maxText)
        return "The message is longer than " + std::to_string(maxText) + " characters.";
    if (utf8Length(r.soundPath) > maxPath)
        return "The path of the sound file is longer than " + std::to_string(maxPath) +
               " characters: " + r.soundPath;
    if (utf8Length(r.openPath) > maxPath)
        return "The path of the file to open is longer than " + std::to_string(maxPath) +
               " characters: " + r.openPath;
    return {};
}

ReminderRepository::ReminderRepository(std::unique_ptr<ReminderStore> store)
    : m_store(std::move(store)) {
}

Status ReminderRepository::load(const std::string& path) {
    return takeRead(path, readFile(path));
}

ReminderFileRead ReminderRepository::readFile(const std::string& path) {
    ReminderFileRead read;
    read.status = m_store->load(path, read.rows, read.side);
    if (read.status.kind == Status::Failure::Missing) {
        read.created = true;
        read.rows.clear();
        read.side.clear();
        read.status = m_store->create(path, {}, {});
    }
    return read;
}

Status ReminderRepository::takeRead(const std::string& path, ReminderFileRead read) {
    m_table.assign({});
    m_side.clear();
    m_fileUnreadable = false;
    m_unsaved.clear();
    m_createFile = false;
    m_loaded = true;
    Status status;
    if (read.created) {
        if (!read.status) {
            m_createFile = true;
            status = Status::failure("Unable to write " + path, read.status);
        }
    } else if (read.status) {
        m_table.assign(std::move(read.rows));
        // Rows of reminders the file does not hold belong to no one: they are not taken.
        m_side = std::move(read.side);
        std::unordered_set<std::int32_t> numbers;
        for (std::size_t i = 0; i < m_table.count(); ++i)
            numbers.insert(m_table.rowAt(i).integer(Col::N));
        for (std::vector<SideRow>& rows : m_side)
            std::erase_if(rows,
                          [&numbers](const SideRow& row) { return !numbers.contains(row.number); });
    } else {
        // Only wrong content is final; anything else may be gone at the next try.
        m_fileUnreadable = read.status.kind == Status::Failure::WrongContent;
        m_loaded = m_fileUnreadable;
        status = Status::failure("Unable to read the reminder file " + path, read.status);
    }
    m_lastNumber = highestNumber();
    return status;
}

Status ReminderRepository::save(const std::string& path) {
    if (m_fileUnreadable)
        return Status::failure("The reminder file " + path +
                               " could not be read, so it is not written over.");
    for (;;) {
        PendingSave pending = takeUnsaved();
        const Status written = writeFile(path, pending);
        Status status = takeWritten(path, std::move(pending), written);
        if (!m_fileGone)
            return status;
    }
}

PendingSave ReminderRepository::takeUnsaved() {
    PendingSave save;
    save.createFile = m_createFile;
    m_createFile = false;
    m_fileGone = false;
    if (save.createFile) {
        save.changes.rows = m_table.rows();
        save.changes.side = m_side;
        m_unsaved.clear();
        return save;
    }
    save.changes.numbers = std::move(m_unsaved);
    m_unsaved.clear();
    if (save.changes.numbers.empty())
        return save;
    const auto& numbers = save.changes.numbers;
    for (std::size_t i = 0; i < m_table.count(); ++i) {
        const ReminderRow& row = m_table.rowAt(i);
        if (!row.isNull(Col::N) &&
            std::binary_search(numbers.begin(), numbers.end(), row.integer(Col::N)))
            save.changes.rows.push_back(row);
    }
    save.changes.side.resize(m_side.size());
    for (std::size_t t = 0; t < m_side.size(); ++t)
        for (const SideRow& row : m_side[t])
            if (std::binary_search(numbers.begin(), numbers.end(), row.number))
                save.changes.side[t].push_back(row);
    return save;
}

Status ReminderRepository::writeFile(const std::string& path, const PendingSave& save) {
    if (save.createFile)
        return m_store->create(path, save.changes.rows, save.changes.side);
    return m_store->write(path, save.changes);
}

Status ReminderRepository::takeWritten(const std::string& path, PendingSave save,
                                       const Status& written) {
    if (written)
        return {};
    m_fileGone = written.kind == Status::Failure::Missing && !save.createFile;
    m_createFile = save.createFile || m_fileGone;
    for (std::int32_t number : save.changes.numbers)
        markUnsaved(number);
    return Status::failure("Unable to write " + path, written);
}

void ReminderRepository::markUnsaved(std::int32_t number) {
    const auto at = std::lower_bound(m_unsaved.begin(), m_unsaved.end(), number);
    if (at == m_unsaved.end() || *at != number)
        m_unsaved.insert(at, number);
}

void ReminderRepository::writeRow(ReminderRow& row, const Reminder& r, std::int32_t number,
                                  Moment now) {
    row.setInteger(Col::N, number);
    row.setFields(r);
    if (r.isNew) {
        if (r.message.empty())
            row.setText(Col::Comment, "note " + std::to_string(number));
        row.setMoment(Col::CrDate, now);
    }
}

Status ReminderRepository::saveReminder(const Reminder& reminder, Moment now) {
    if (reminder.isNew) {
        const std::optional<std::int32_t> number = nextNumber(); // used up even if not saved
        if (!number)
            return Status::failure("No new reminder can be added: the highest reminder number, " +
                                   std::to_string(std::numeric_limits<std::int32_t>::max()) +
                                   ", is already in use.");
        if (const std::string why = whyReminderDoesNotFit(reminder); !why.empty())
            return Status::failure("SaveThing error : " + why);
        ReminderRow row;
        writeRow(row, reminder, *number, now);
        m_table.insert(std::move(row));
        markUnsaved(*number);
        return Status::stored(*number);
    }
    const std::optional<std::size_t> stored = storedIndexOf(reminder.number);
    if (!stored) {
        // Deleted meanwhile: the editor keeps the user's input.
        return Status::failure("The reminder " + std::to_string(reminder.number) +
                               " no longer exists; it was not saved.");
    }
    if (std::string why = whyReminderDoesNotFit(reminder); !why.empty())
        return Status::failure(std::move(why));
    ReminderRow row = m_table.rowAt(*stored);
    writeRow(row, reminder, reminder.number, now);
    m_table.update(m_table.idAt(*stored), std::move(row));
    markUnsaved(reminder.number);
    return Status::stored(reminder.number);
}

bool ReminderRepository::deleteReminder(std::int32_t number) {
    const std::optional<std::size_t> stored = storedIndexOf(number);
    if (!stored || !m_table.remove(m_table.idAt(*stored)))
        return false;
    // Its rows in the side tables go with it, unless another row has its number.
    if (!storedIndexOf(number))
        for (std::vector<SideRow>& rows : m_side)
            std::erase_if(rows, [number](const SideRow& row) { return row.number == number; });
    markUnsaved(number);
    return true;
}

std::vector<SideRow> ReminderRepository::sideRows(std::size_t table, std::int32_t number) const {
    std::vector<SideRow> rows;
    if (table < m_side.size())
        std::copy_if(m_side[table].begin(), m_side[table].end(), std::back_inserter(rows),
                     [number](const SideRow& row) { return row.number == number; });
    return rows;
}

std::vector<SideRow> ReminderRepository::sideRows(std::size_t table) const {
    return table < m_side.size() ? m_side[table] : std::vector<SideRow>();
}

bool ReminderRepository::setSideRows(std::size_t table, std::int32_t number,
                                     std::vector<SideRow> rows) {
    if (!storedIndexOf(number))
        return false;
    if (m_side.size() <= table)
        m_side.resize(table + 1);
    std::erase_if(m_side[table], [number](const SideRow& row) { return row.number == number; });
    for (SideRow& row : rows) {
        row.number = number;
        m_side[table].push_back(std::move(row));
    }
    markUnsaved(number);
    return true;
}

std::optional<std::size_t> ReminderRepository::storedIndexOf(std::int32_t number) const {
    for (std::size_t i = 0; i < m_table.count(); ++i) {
        const ReminderRow& row = m_table.rowAt(i);
        if (!row.isNull(Col::N) && row.integer(Col::N) == number)
            return i;
    }
    return std::nullopt;
}

const ReminderRow* ReminderRepository::findRow(std::int32_t number) const {
    const std::optional<std::size_t> stored = storedIndexOf(number);
    return stored ? &m_table.rowAt(*stored) : nullptr;
}

std::optional<Reminder> ReminderRepository::reminder(std::int32_t number) const {
    if (const ReminderRow* row = findRow(number))
        return reminderFromRow(*row);
    return std::nullopt;
}

std::int32_t ReminderRepository::highestNumber() const {
    std::int32_t highest = 0;
    for (std::size_t i = 0; i < m_table.count(); ++i)
        highest = std::max(highest, m_table.rowAt(i).integer(Col::N));
    return highest;
}

std::optional<std::int32_t> ReminderRepository::nextNumber() {
    if (m_lastNumber == std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return ++m_lastNumber;
}
