#pragma once
// The reminders of one run: the table loaded from the reminder file, the changes
// the windows make to it, the numbers of new reminders, and writing it back.

#include "core/Reminder.h"
#include "core/ReminderStore.h"
#include "core/ReminderTable.h"
#include "core/Status.h"
#include "core/TimeZoneSpan.h"
#include "i18n/Texts.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// --- a row and its record ---------------------------------------------------

// The row's first occurrence after `from`; after-start rows give afterStartMoment().
Moment rowNextOccurrence(const ReminderRow& row, Moment from);
// A scheduled row's last occurrence at or before `until` (for a specific date, its moment).
Moment rowPreviousOccurrence(const ReminderRow& row, Moment until);
// The row's next time as the list shows it: the local moment at which its first occurrence
// after the instant `now` is reached (a 02:30 reminder on the day the clock skips from 02:00
// to 03:00 shows 03:00); after-start rows give afterStartMoment().
Moment rowNextTime(const ReminderRow& row, UtcInstant now, const TimeZoneSpan& zone);
std::string rowDescription(const ReminderRow& row, const Texts& texts);
// A text for the user when a record cannot be stored as it is; empty when it can.
std::string whyReminderDoesNotFit(const Reminder& reminder);

// --- the repository ---------------------------------------------------------

// What reading the reminder file found: its rows, or why there are none. When there was no
// file, an empty one was made (`created`) and the status is that of its creation.
struct ReminderFileRead {
    Status status;
    bool created = false;
    std::vector<ReminderRow> rows;
    SideRows side;
};

// What a save writes: the changes since the last good save, or every row into a new file.
struct PendingSave {
    bool createFile = false;
    ReminderChanges changes; // with createFile, every row
    bool empty() const { return !createFile && changes.empty(); }
};

class ReminderRepository final {
public:
    explicit ReminderRepository(std::unique_ptr<ReminderStore> store = makeSqliteReminderStore());
    ReminderRepository(const ReminderRepository&) = delete;
    ReminderRepository& operator=(const ReminderRepository&) = delete;

    // Loads the file, or creates it empty when there is none: readFile() then takeRead().
    Status load(const std::string& path);
    // Writes what changed since the last good save: takeUnsaved(), writeFile(), then
    // takeWritten(); a file gone meanwhile is made anew with every row. Refused after a
    // read that found wrong content.
    Status save(const std::string& path);

    // The file's part of a load and a save. They use the store alone, so they may run on
    // another thread while the rest is used on this one, one at a time, in the order asked.
    ReminderFileRead readFile(const std::string& path);
    Status writeFile(const std::string& path, const PendingSave& save);

    // Takes what readFile() found in place of the table. A file with wrong content is
    // reported and never written in this run (it may hold the user's reminders); a file
    // that could not be read for another reason leaves the table unloaded, to be read
    // again later; a new file that could not be created is only reported, and made at the
    // next save.
    Status takeRead(const std::string& path, ReminderFileRead read);
    // Copies of what the next save writes; empty when there is nothing to write.
    PendingSave takeUnsaved();
    // Takes the result of writing `save`: after a failure its changes are written by the
    // next save, and after a file gone, the next save makes it anew. The failure's text.
    Status takeWritten(const std::string& path, PendingSave save, const Status& written);

    bool isLoaded() const { return m_loaded; }
    bool fileWritable() const { return !m_fileUnreadable; }
    bool hasUnsavedChanges() const { return m_createFile || !m_unsaved.empty(); }
    // The last save found the file gone: the next one makes it anew, at once.
    bool fileToBeMadeAnew() const { return m_fileGone; }

    const ReminderTable& table() const { return m_table; }
    // The first row in stored order with that number, or null.
    const ReminderRow* findRow(std::int32_t number) const;
    // The record of the reminder with that number, if there is one.
    std::optional<Reminder> reminder(std::int32_t number) const;

    // Adds a new reminder (with the next number, the creation moment `now` and, for an
    // empty message, "note <number>") or replaces the one with its number; the status
    // carries the reminder's number.
    Status saveReminder(const Reminder& reminder, Moment now);
    // False when there is no reminder with that number.
    bool deleteReminder(std::int32_t number);
    // The highest number in the table; 0 when none is higher.
    std::int32_t highestNumber() const;
    // Hands out the number after the highest one handed out or loaded in this run;
    // nullopt when the numbers are used up.
    std::optional<std::int32_t> nextNumber();

    // The rows of side table `table` (its place among the declared ones) that belong to
    // reminder `number`, in stored order.
    std::vector<SideRow> sideRows(std::size_t table, std::int32_t number) const;
    // Every row of side table `table`, in stored order.
    std::vector<SideRow> sideRows(std::size_t table) const;
    // Makes `rows` (numbered `number`) the reminder's rows of side table `table`, written with
    // the next save; false when there is no reminder with that number.
    bool setSideRows(std::size_t table, std::int32_t number, std::vector<SideRow> rows);

private:
    std::optional<std::size_t> storedIndexOf(std::int32_t number) const;
    void writeRow(ReminderRow& row, const Reminder& reminder, std::int32_t number, Moment now);
    void markUnsaved(std::int32_t number);

    std::unique_ptr<ReminderStore> m_store;
    ReminderTable m_table;
    // The rows of the side tables, each belonging to a reminder of the table.
    SideRows m_side;
    std::int32_t m_lastNumber = 0;
    bool m_loaded = false;
    bool m_fileUnreadable = false;
    // The numbers of the reminders changed or removed since the last good save, ascending.
    std::vector<std::int32_t> m_unsaved;
    // The file is to be made anew at the next save.
    bool m_createFile = false;
    bool m_fileGone = false;
};
