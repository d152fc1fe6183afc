#pragma once
// The reminder table with its three cursors, the operations that change it, its
// file, and the journal of missed events.

#include "ThingsStore.h"
#include "ThingsTable.h"
#include "uFunct.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The highest reminder number handed out so far in this run.
extern std::int32_t LastThingNumber;
std::int32_t NewThingNumber();

std::uint16_t BoolToWord(bool b);
bool WordToBool(std::uint16_t w);

// True when the cursor is open, has a current row with a field of that name, and
// the field is neither null nor empty text.
bool FieldHasValue(const ThingsCursor& DS, std::string_view fieldName);

// The calculated columns of a row: next occurrence and schedule text. Flag shifts the
// reference moment 60 s back (the minute scan's view); after-start rows give BaseDate.
TDateTime RowNextTime(const ThingRow& row, TDateTime now, bool Flag = false);
std::string RowDescription(const ThingRow& row);
WeekDays RowDays(const ThingRow& row);

// Reads a row into a record (flags true only for the value 1).
eventParams ThingFromRow(const ThingRow& row);

struct JournalRow {
    std::int32_t N = 0;
    TDateTime DT = 0;
    std::string Comment;
};

// The in-memory journal of missed events, ordered by reminder number.
class JournalTable {
public:
    explicit JournalTable(std::string name) : name_(std::move(name)) {}
    const std::string& Name() const { return name_; }
    bool Created() const { return created_; }
    bool Active() const { return active_; }
    const std::vector<JournalRow>& Rows() const { return rows_; }

    void Create() { created_ = true; }
    void Open() { active_ = true; }
    void Close() { active_ = false; }
    void Empty() { rows_.clear(); }
    void Insert(JournalRow row);

private:
    std::string name_;
    bool created_ = false;
    bool active_ = false;
    std::vector<JournalRow> rows_;
};

class TDataModule1 {
public:
    explicit TDataModule1(std::unique_ptr<ThingsStore> store = MakeDefaultThingsStore());

    ThingsTable table;
    // The list the user sees, by message; all writes go through it.
    ThingsCursor cdsThings{table, CursorOrder::Comment};
    // The minute scan's own cursor, in stored order.
    ThingsCursor cdsThingsList{table, CursorOrder::Stored};
    // By number: finding a row by number, the journal, the highest number.
    ThingsCursor cdsThingsListDM{table, CursorOrder::Number};
    JournalTable cdsJournal{"cdsJournal"};

    // Loads the file, or creates it empty when there is none, then opens the
    // cursors and sets LastThingNumber. False when an existing file could not be
    // read: the error is reported and the file will never be written in this run.
    bool LoadThings(const std::string& path);
    // Writes the whole table to the file. Refused after a failed load.
    bool SaveThings(const std::string& path);
    bool FileWritable() const { return !fileUnreadable_; }
    // Why the file could not be read; empty when it was.
    const std::string& LoadError() const { return loadError_; }
    ThingsStore& Store() { return *store_; }

    TSaveResult SaveThing(const eventParams& newThing, TDateTime now);
    void WriteThingRow(ThingRow& row, const eventParams& r, std::int32_t number, TDateTime now);
    bool DeleteThing(std::int32_t N);
    std::int32_t GetMaxNumberOfThings();
    // The reading half of editing a reminder: the record of the current row of DS.
    std::optional<eventParams> DoEditThing(const ThingsCursor& DS, std::int32_t NumThing) const;

    bool CreateJournalTable(JournalTable& Tb);
    std::int32_t FillJournalTable(JournalTable& Tb, TDateTime LastRunTime,
                                  TDateTime ProgramStartTime, TDateTime now);
    std::int32_t OpenJournal(TDateTime LastRunTime, TDateTime ProgramStartTime, TDateTime now);

private:
    std::unique_ptr<ThingsStore> store_;
    bool fileUnreadable_ = false;
    std::string loadError_;
};

// A text for the user when a record cannot be stored as it is; empty when it can.
std::string CheckThingFits(const eventParams& r);
