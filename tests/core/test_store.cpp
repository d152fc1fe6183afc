#include "core/ReminderRepository.h"
#include "tests/fuzz/ReminderFileRoundTrip.h"
#include "tests/fuzz/ReminderSqlFiles.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TempHome.h"
#include "tests/support/UmaskScope.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A row that sets every column, with the given number.
ReminderRow FullRow(std::int32_t n) {
    ReminderRow r;
    for (int i = 0; i < ColumnCount; ++i) {
        const Col c = static_cast<Col>(i);
        switch (column(c).type) {
        case ColumnType::Int32:
            r.setInteger(c, -2'000'000'000 + i);
            break;
        case ColumnType::Word:
            r.setInteger(c, 65535 - i);
            break;
        case ColumnType::Real:
            r.setReal(c, 46000.123456789 + i);
            break;
        case ColumnType::Text:
            r.setText(c, "Привет, \"мир\" ' " + std::to_string(i));
            break;
        }
    }
    r.setInteger(Col::N, n);
    return r;
}

std::vector<std::string> Query(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::vector<std::string> out;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

struct StoreTest : ::testing::Test {
    std::string folder = MakeTempFolder("store");
    std::string path = folder + "/things.mln";
};

} // namespace

TEST_F(StoreTest, RoundTripsEveryColumnTypeNullsAndOddFlags) {
    std::vector<ReminderRow> rows{FullRow(3), ReminderRow{}, FullRow(1)};
    rows[1].setInteger(Col::N, 2);
    rows[1].setInteger(Col::Mon, 2); // stored as 2, read back as 2 (and as false)
    rows[1].setText(Col::Comment, "");
    SqliteReminderStore store;
    ASSERT_TRUE(store.create(path, rows));
    std::vector<ReminderRow> back;
    ASSERT_TRUE(store.load(path, back));
    EXPECT_EQ(back, rows); // stored order kept
    EXPECT_EQ(back[1].integer(Col::Mon), 2);
    EXPECT_FALSE(back[1].flag(Col::Mon));
    EXPECT_TRUE(back[1].isNull(Col::Hint));
    EXPECT_FALSE(back[1].isNull(Col::Comment));
}

TEST_F(StoreTest, FileHasTheStoredSchema) {
    SqliteReminderStore store;
    ASSERT_TRUE(store.create(path, {FullRow(1)}));
    const auto cols = Query(path, "SELECT name FROM pragma_table_info('things') ORDER BY cid");
    std::vector<std::string> expected;
    for (const auto& c : columns())
        expected.emplace_back(c.storedName);
    EXPECT_EQ(cols, expected);
    EXPECT_EQ(Query(path, "SELECT name FROM sqlite_master WHERE type='index' ORDER BY name"),
              (std::vector<std::string>{"iN", "iThingsText"}));
    EXPECT_EQ(Query(path, "PRAGMA user_version"), std::vector<std::string>{"1"});
    EXPECT_EQ(Query(path, "SELECT typeof(DATA) || typeof(N) || typeof(COMMENT) FROM things"),
              std::vector<std::string>{"realintegertext"});
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(StoreTest, ReadsAFileWrittenByTheSqliteShellWithColumnNamesInAnyCase) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const char* sql =
        "CREATE TABLE things (n INTEGER, data REAL, dateorday INTEGER, mon INTEGER, tue INTEGER,"
        " wed INTEGER, thu INTEGER, fri INTEGER, sat INTEGER, sun INTEGER, messshow INTEGER,"
        " anim INTEGER, sound INTEGER, hint INTEGER, runprog INTEGER, comment TEXT, spath TEXT,"
        " wsound INTEGER, emonth INTEGER, ppath TEXT, AFTERSTART INTEGER,"
        " minutesafterstart INTEGER, crdate REAL, special INTEGER, shutdown INTEGER);"
        "INSERT INTO things (n, data, dateorday, comment, mon) VALUES (4, 46000.5, 0, 'tea', 1);";
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    ReminderRepository data;
    ASSERT_TRUE(data.load(path).ok());
    ASSERT_EQ(data.table().count(), 1u);
    EXPECT_EQ(data.table().rowAt(0).text(Col::Comment), "tea");
    EXPECT_TRUE(data.table().rowAt(0).flag(Col::Mon));
    EXPECT_TRUE(data.table().rowAt(0).isNull(Col::Special));
    EXPECT_EQ(data.nextNumber(), 5);
}

TEST_F(StoreTest, MissingFileIsCreatedEmpty) {
    ReminderRepository data;
    const Status loaded = data.load(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(data.table().count(), 0u);
    EXPECT_EQ(data.nextNumber(), 1);
}

TEST_F(StoreTest, UnreadableFilesAreReportedAndNeverOverwritten) {
    struct Bad {
        const char* what;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"garbage", [](const std::string& p) { std::ofstream(p) << "not a database at all\n"; }},
        {"foreign database",
         [](const std::string& p) {
             sqlite3* db = nullptr;
             sqlite3_open(p.c_str(), &db);
             sqlite3_exec(db, "CREATE TABLE notes (x TEXT); INSERT INTO notes VALUES ('keep');",
                          nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }},
        {"a view that never ends",
         [](const std::string& p) {
             std::string columns;
             for (int i = 0; i < ColumnCount; ++i)
                 columns += std::string(i ? ", " : "") + (i == 0 ? "n" : "NULL") + " AS \"" +
                            column(static_cast<Col>(i)).storedName + "\"";
             const std::string sql = "CREATE VIEW things AS WITH RECURSIVE c(n) AS (SELECT 1 "
                                     "UNION ALL SELECT n + 1 FROM c) SELECT " +
                                     columns + " FROM c;";
             sqlite3* db = nullptr;
             sqlite3_open(p.c_str(), &db);
             ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_close(db);
         }},
        {"newer format",
         [](const std::string& p) {
             ASSERT_TRUE(SqliteReminderStore().create(p, {FullRow(1)}));
             sqlite3* db = nullptr;
             sqlite3_open(p.c_str(), &db);
             sqlite3_exec(db, "PRAGMA user_version = 9", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }},
        {"value out of range",
         [](const std::string& p) {
             ASSERT_TRUE(SqliteReminderStore().create(p, {}));
             sqlite3* db = nullptr;
             sqlite3_open(p.c_str(), &db);
             sqlite3_exec(db,
                          "PRAGMA ignore_check_constraints = ON;"
                          "INSERT INTO things (N, MON) VALUES (1, 70000);",
                          nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(path);
        c.make(path);
        const std::string before = ReadAll(path);
        ReminderRepository data;
        const Status loaded = data.load(path);
        EXPECT_FALSE(loaded.ok());
        EXPECT_NE(loaded.message().find(path), std::string::npos) << loaded.message();
        EXPECT_FALSE(data.fileWritable());
        Reminder p;
        p.isNew = true;
        EXPECT_TRUE(data.saveReminder(p, DayCountEpoch).ok()); // kept in memory
        EXPECT_FALSE(data.save(path).ok());
        EXPECT_EQ(ReadAll(path), before);
    }
}

TEST_F(StoreTest, ASaveStoppedAtAnyStepKeepsThePreviousFile) {
    using Step = SqliteReminderStore::SaveStep;
    SqliteReminderStore store;
    ASSERT_TRUE(store.create(path, {FullRow(1)}));
    const std::string before = ReadAll(path);
    for (const Step stopAt : {Step::Write, Step::Sync, Step::Rename}) {
        SCOPED_TRACE(static_cast<int>(stopAt));
        std::vector<Step> reached;
        store.setStepHookForTests([&](Step step, const std::string& newFile) {
            reached.push_back(step);
            // The new file exists, complete, from the sync on.
            EXPECT_EQ(fs::exists(newFile), step != Step::Write);
            return step != stopAt;
        });
        EXPECT_FALSE(store.create(path, {FullRow(1), FullRow(2)}));
        EXPECT_EQ(reached.back(), stopAt);
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
    store.setStepHookForTests({});
    EXPECT_TRUE(store.create(path, {FullRow(1), FullRow(2)}));
}

TEST_F(StoreTest, SaveKilledAtAnyStepLeavesTheOldFileOrTheNewOne) {
    // A child process saves a larger table and is killed at a chosen step of the save;
    // the file must read back whole: the old table before the rename, the new one after.
    using Step = SqliteReminderStore::SaveStep;
    std::vector<ReminderRow> big;
    for (int i = 1; i <= 2000; ++i)
        big.push_back(FullRow(i));
    SqliteReminderStore store;
    ASSERT_TRUE(store.create(path, {FullRow(1)}));
    const struct {
        Step killAt;
        std::size_t rowsAfter;
    } cases[] = {{Step::Write, 1}, {Step::Sync, 1}, {Step::Rename, 1}, {Step::SyncFolder, 2000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.killAt));
        ASSERT_TRUE(store.create(path, {FullRow(1)}));
        const pid_t pid = ::fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            SqliteReminderStore child;
            child.setStepHookForTests([&](Step step, const std::string&) {
                if (step == c.killAt)
                    ::raise(SIGKILL);
                return true;
            });
            (void)child.create(path, big);
            ::_exit(0); // not reached when the kill came
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        std::vector<ReminderRow> back;
        const Status r = store.load(path, back);
        ASSERT_TRUE(r) << r.error;
        EXPECT_EQ(back.size(), c.rowsAfter);
    }
}

namespace {

// A file written by another tool, with a table that has no checks at all: one good row and
// one row (number 7) whose `column` holds the SQL value `value`.
void WriteUncheckedFile(const std::string& path, const std::string& column,
                        const std::string& value) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const std::string sql =
        "CREATE TABLE things (N INTEGER, DATA REAL, DATEORDAY INTEGER, MON INTEGER, TUE INTEGER,"
        " WED INTEGER, THU INTEGER, FRI INTEGER, SAT INTEGER, SUN INTEGER, MESSSHOW INTEGER,"
        " ANIM INTEGER, SOUND INTEGER, HINT INTEGER, RUNPROG INTEGER, COMMENT TEXT, SPATH TEXT,"
        " WSOUND INTEGER, EMONTH INTEGER, PPATH TEXT, afterStart INTEGER,"
        " MinutesAfterStart INTEGER, CrDate REAL, Special INTEGER, Shutdown INTEGER);"
        "INSERT INTO things (N, DATA, DATEORDAY, COMMENT) VALUES (3, 46000.5, 0, 'fine');"
        "INSERT INTO things (N, DATA, DATEORDAY, COMMENT) VALUES (7, 46001.5, 1, 'odd');"
        "UPDATE things SET " +
        column + " = " + value + " WHERE N = 7;";
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

} // namespace

// Every value is checked against what the program can store and compute with. A file with
// one it cannot is reported (path, reminder, column, reason), left as it is and never
// written; one that loads can always be written back.
TEST_F(StoreTest, ValuesWrittenByOtherToolsAreCheckedWhenLoaded) {
    const std::string cyrillic100 = [] {
        std::string s;
        for (int i = 0; i < 100; ++i)
            s += "ж";
        return s;
    }();
    struct Case {
        const char* column;
        std::string value;
        std::string refusal; // empty: the file loads
    };
    const Case cases[] = {
        {"COMMENT", "'" + std::string(101, 'a') + "'",
         "reminder 7 (row 2), column COMMENT: holds a text of 101 characters, more than the 100"},
        {"COMMENT", "'" + cyrillic100 + "'", ""}, // 200 bytes, 100 characters
        {"SPATH", "'" + std::string(512, 'p') + "'",
         "column SPATH: holds a text of 512 characters, more than the 511"},
        {"PPATH", "'" + std::string(511, 'p') + "'", ""},
        {"COMMENT", "CAST(X'C328' AS TEXT)", "column COMMENT: holds text that is not UTF-8"},
        {"COMMENT", "X'414243'", "column COMMENT: holds binary data, not text"},
        {"DATA", "9e999", "column DATA: holds a date that is not a finite number"},
        {"CrDate", "-9e999", "column CrDate: holds a date that is not a finite number"},
        {"DATA", "1.1e11", "column DATA: holds a date outside the years 1 to 9999"},
        {"CrDate", "-693594", "column CrDate: holds a date outside the years 1 to 9999"},
        {"DATA", "2958466", "column DATA: holds a date outside the years 1 to 9999"},
        {"DATA", "2958465.999", ""}, // 31 December 9999
        {"DATA", "-693593", ""},     // 1 January 1
        {"DATA", "'tomorrow'", "column DATA: holds text, not a date"},
        {"MON", "'yes'", "column MON: holds text, not a whole number"},
        {"MinutesAfterStart", "1.5", "column MinutesAfterStart: holds a real number, not a whole"},
        {"DATEORDAY", "70000", "column DATEORDAY: holds 70000, outside 0 to 65535"},
        {"EMONTH", "-1", "column EMONTH: holds -1, outside 0 to 65535"},
        {"MinutesAfterStart", "2147483648", "outside -2147483648 to 2147483647"},
        {"N", "2147483648", "row 2, column N: holds 2147483648, outside"},
        {"DATA", "NULL", ""}, // nulls read as before: 0, false, empty
        {"COMMENT", "NULL", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.value.substr(0, 40));
        fs::remove(path);
        WriteUncheckedFile(path, c.column, c.value);
        const std::string before = ReadAll(path);
        ReminderRepository data;
        const Status loaded = data.load(path);
        if (c.refusal.empty()) {
            ASSERT_TRUE(loaded.ok()) << loaded.message();
            EXPECT_EQ(data.table().count(), 2u);
            const Status saved = data.save(path);
            EXPECT_TRUE(saved.ok()) << saved.message();
            continue;
        }
        EXPECT_FALSE(loaded.ok());
        EXPECT_NE(loaded.message().find(path), std::string::npos) << loaded.message();
        EXPECT_NE(loaded.message().find(c.refusal), std::string::npos) << loaded.message();
        // Nothing of the file is scanned, and nothing is written over it.
        EXPECT_EQ(data.table().count(), 0u);
        EXPECT_FALSE(data.fileWritable());
        EXPECT_FALSE(data.save(path).ok());
        EXPECT_EQ(ReadAll(path), before);
    }
}

// Files the fuzzer found once to break loading, or to load as reminders that did not write
// back the same.
TEST_F(StoreTest, FilesTheFuzzerFoundLoadCleanlyOrWriteBackTheSame) {
    const fs::path found = CHIMEWELL_FUZZ_FINDINGS "/reminder_file";
    if (!fs::exists(found))
        GTEST_SKIP() << "the fuzzer has found nothing in the reminder file reader";
    for (const auto& entry : fs::directory_iterator(found)) {
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(reminderFileRoundTripFailure(entry.path().string(), path), "");
    }
}

namespace {

// Runs SQL on the file as another program would, in this process; the error, or empty.
std::string Exec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    char* error = nullptr;
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string text = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    return text;
}

// Another program that runs SQL on the file and is killed before it closes it: what it
// wrote stays in the file's journal or write-ahead log.
void ExecAndDie(const std::string& path, const std::string& sql) {
    const pid_t pid = ::fork();
    ASSERT_NE(pid, -1);
    if (pid == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        ::_exit(rc == SQLITE_OK ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << sqlite3_errstr(status);
}

// The SQL of a table things with the program's columns, declared as the program declares
// them, but for a change: "NAME TYPE..." declares that column so, "NAME -" leaves it out.
std::string ThingsTable(const std::string& change, const std::string& tail = "") {
    std::string columns;
    for (const auto& c : ::columns()) {
        std::string type = c.type == ColumnType::Real   ? "REAL"
                           : c.type == ColumnType::Text ? "TEXT"
                                                        : "INTEGER";
        const std::string name = c.storedName;
        if (change.rfind(name + " ", 0) == 0) {
            if (change == name + " -")
                continue;
            type = change.substr(name.size() + 1);
        }
        columns += std::string(columns.empty() ? "" : ", ") + "\"" + name + "\" " + type;
    }
    return "CREATE TABLE things (" + columns + ")" + tail + ";";
}

// A reminder as the editor gives it back.
Reminder Edited(const ReminderRepository& data, std::int32_t number, const std::string& text) {
    Reminder r = data.reminder(number).value_or(Reminder{});
    r.isNew = false;
    r.message = text;
    return r;
}

Reminder NewReminder(const std::string& text) {
    Reminder r;
    r.isNew = true;
    r.message = text;
    return r;
}

std::vector<std::string> Messages(const std::string& path) {
    std::vector<ReminderRow> rows;
    std::vector<std::string> out;
    const Status read = SqliteReminderStore().load(path, rows);
    if (!read)
        return {"not read: " + read.error};
    for (const ReminderRow& row : rows)
        out.push_back(std::to_string(row.integer(Col::N)) + " " + row.text(Col::Comment));
    return out;
}

// A file made by the program with reminders 1 "one", 2 "two" and 3 "three".
void MakeThreeReminders(const std::string& path) {
    ReminderRepository data;
    const Status loaded = data.load(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    for (const char* text : {"one", "two", "three"})
        ASSERT_TRUE(data.saveReminder(NewReminder(text), DayCountEpoch).ok());
    const Status saved = data.save(path);
    ASSERT_TRUE(saved.ok()) << saved.error;
}

} // namespace

// What another SQLite program left half done: its write-ahead log, which holds changes of its
// own, or a hot journal, which holds the content before its unfinished transaction. Either is
// taken in at the load, and the saves after it are not undone by it.
TEST_F(StoreTest, ALogOrJournalLeftByAnotherProgramIsTakenInAndSavesStay) {
    const struct {
        const char* what;
        std::string sql;
        std::vector<std::string> read;
    } cases[] = {
        {"write-ahead log",
         "PRAGMA journal_mode = WAL; INSERT INTO things (N, COMMENT) VALUES (50, 'theirs');",
         {"1 one", "2 two", "3 three", "50 theirs"}},
        // A page cache of one page: the unfinished changes reach the file itself.
        {"hot journal",
         "PRAGMA cache_size = 1; BEGIN; DELETE FROM things WHERE N = 2;"
         "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 3000) "
         "INSERT INTO things (N, COMMENT) SELECT 100 + i, printf('%.90c', 'x') FROM c;",
         {"1 one", "2 two", "3 three"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            fs::remove(path + suffix);
        ASSERT_NO_FATAL_FAILURE(MakeThreeReminders(path));
        ASSERT_NO_FATAL_FAILURE(ExecAndDie(path, c.sql));
        ASSERT_TRUE(fs::exists(path + (c.read.size() == 4 ? "-wal" : "-journal")));

        ReminderRepository data;
        const Status loaded = data.load(path);
        ASSERT_TRUE(loaded.ok()) << loaded.error;
        EXPECT_EQ(data.table().count(), c.read.size());
        ASSERT_TRUE(data.saveReminder(Edited(data, 1, "edited"), DayCountEpoch).ok());
        ASSERT_TRUE(data.save(path).ok());
        std::vector<std::string> expected = c.read;
        expected[0] = "1 edited";
        EXPECT_EQ(Messages(path), expected);
        EXPECT_EQ(Messages(path), expected) << "read a second time";
    }
}

// A save writes the reminders changed since the last one into the file itself: what other
// programs keep in it stays (their tables, columns, indexes and triggers, which do not fire
// for the program; their changes to other reminders), and so do the file's mode and links.
TEST_F(StoreTest, ASaveChangesOnlyItsRemindersInThePlaceOfTheFile) {
    ASSERT_NO_FATAL_FAILURE(MakeThreeReminders(path));
    ReminderRepository data;
    ASSERT_TRUE(data.load(path).ok());
    ASSERT_EQ(Exec(path, "CREATE TABLE notes (x TEXT);"
                         "ALTER TABLE things ADD COLUMN colour TEXT DEFAULT 'red';"
                         "UPDATE things SET colour = 'blue' WHERE N = 1;"
                         "CREATE INDEX byColour ON things (colour);"
                         "CREATE TRIGGER noted AFTER UPDATE ON things "
                         "BEGIN INSERT INTO notes VALUES ('changed'); END;"
                         "UPDATE things SET COMMENT = 'theirs' WHERE N = 2;"
                         "DELETE FROM notes;"),
              "");
    ::chmod(path.c_str(), 0640);
    const std::string link = folder + "/link.mln";
    fs::create_hard_link(path, link);

    ASSERT_TRUE(data.saveReminder(Edited(data, 1, "edited"), DayCountEpoch).ok());
    ASSERT_TRUE(data.deleteReminder(3));
    ASSERT_TRUE(data.saveReminder(NewReminder("four"), DayCountEpoch).ok());
    const Status saved = data.save(path);
    ASSERT_TRUE(saved.ok()) << saved.error;

    EXPECT_EQ(Messages(path), (std::vector<std::string>{"1 edited", "2 theirs", "4 four"}));
    EXPECT_EQ(Query(path, "SELECT colour FROM things ORDER BY rowid"),
              (std::vector<std::string>{"blue", "red", "red"}));
    EXPECT_EQ(Query(path, "SELECT name FROM sqlite_master WHERE name IN "
                          "('notes', 'byColour', 'noted', 'iN') ORDER BY name"),
              (std::vector<std::string>{"byColour", "iN", "noted", "notes"}));
    EXPECT_EQ(Query(path, "SELECT count(*) FROM notes"), std::vector<std::string>{"0"});
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(fs::hard_link_count(path), 2u);
    EXPECT_EQ(ReadAll(link), ReadAll(path));
    // Saved, nothing more to write.
    EXPECT_FALSE(data.hasUnsavedChanges());
}

// The file's own constraints hold for the program's writes too: a write they refuse leaves
// the file as it was, is a failed save, and is written by the next save that succeeds. A
// conflict clause of the file's own (REPLACE) does not remove another reminder.
TEST_F(StoreTest, AWriteTheFilesConstraintsRefuseIsRolledBackAndKeptForTheNextSave) {
    for (const char* unique : {"CREATE UNIQUE INDEX oneOfEach ON things (COMMENT);",
                               "CREATE TABLE other (x); DROP TABLE other;"}) {
        SCOPED_TRACE(unique);
        fs::remove(path);
        ASSERT_EQ(Exec(path, ThingsTable("COMMENT TEXT UNIQUE ON CONFLICT REPLACE") + unique +
                                 "INSERT INTO things (N, COMMENT) VALUES (1, 'one'), (2, 'two');"),
                  "");
        ReminderRepository data;
        ASSERT_TRUE(data.load(path).ok());
        const std::string before = ReadAll(path);
        ASSERT_TRUE(data.saveReminder(Edited(data, 1, "two"), DayCountEpoch).ok());
        const Status refused = data.save(path);
        EXPECT_FALSE(refused.ok());
        EXPECT_NE(refused.message().find("UNIQUE constraint failed"), std::string::npos)
            << refused.message();
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_TRUE(data.hasUnsavedChanges());
        ASSERT_TRUE(data.saveReminder(Edited(data, 1, "uno"), DayCountEpoch).ok());
        ASSERT_TRUE(data.save(path).ok());
        EXPECT_EQ(Messages(path), (std::vector<std::string>{"1 uno", "2 two"}));
    }
}

// A file whose things the program would not read as it writes it (or could not read without
// running the file's own expressions) is wrong content: refused at once, never written.
TEST_F(StoreTest, ATableOfAnotherShapeIsNotAReminderFile) {
    const struct {
        std::string sql;
        std::string why;
    } cases[] = {
        {ThingsTable("N TEXT"), "its column \"N\" is declared as \"TEXT\""},
        {ThingsTable("COMMENT VARCHAR(100)"), ""}, // text affinity
        {ThingsTable("COMMENT INTEGER"), "its column \"COMMENT\" is declared as \"INTEGER\""},
        {ThingsTable("DATA "), "its column \"DATA\" is declared as \"\""},
        {ThingsTable("DATA TEXT"), "its column \"DATA\" is declared as \"TEXT\""},
        {ThingsTable("CrDate -"), "it has no column \"CrDate\""},
        {ThingsTable("SPATH TEXT GENERATED ALWAYS AS (printf('%.500c', 'x'))"),
         "its column \"SPATH\" is generated"},
        {ThingsTable("N INTEGER PRIMARY KEY", " WITHOUT ROWID"),
         "\"things\" is not an ordinary table"},
        {ThingsTable("N INTEGER, rowid INTEGER, oid INTEGER, _rowid_ INTEGER"),
         "its columns hide the row numbers"},
        {ThingsTable("") + "INSERT INTO things (N, COMMENT) VALUES (1, printf('%.2000000c', 'x'));",
         "string or blob too big"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql.substr(0, 200));
        fs::remove(path);
        ASSERT_EQ(Exec(path, c.sql), "");
        const std::string before = ReadAll(path);
        ReminderRepository data;
        const Status loaded = data.load(path);
        if (c.why.empty()) {
            EXPECT_TRUE(loaded.ok()) << loaded.error;
            continue;
        }
        EXPECT_NE(loaded.message().find("not a reminder file (" + c.why), std::string::npos)
            << loaded.message();
        EXPECT_TRUE(data.isLoaded());
        EXPECT_FALSE(data.fileWritable());
        ASSERT_TRUE(data.saveReminder(NewReminder("mine"), DayCountEpoch).ok());
        EXPECT_FALSE(data.save(path).ok());
        EXPECT_EQ(ReadAll(path), before);
    }
}

// A file locked by another program is not wrong content: the load fails, as SQLite words it,
// after the busy timeout, leaves nothing loaded and nothing refused, and a later load reads it.
TEST_F(StoreTest, ALockedFileIsReadOnceTheLockIsGone) {
    ASSERT_NO_FATAL_FAILURE(MakeThreeReminders(path));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    ReminderRepository data;
    const auto start = std::chrono::steady_clock::now();
    const Status locked = data.load(path);
    EXPECT_GE(std::chrono::steady_clock::now() - start, SqliteReminderStore::BusyTimeout);
    EXPECT_NE(
        locked.message().find("Unable to read the reminder file " + path + ": database is locked"),
        std::string::npos)
        << locked.message();
    EXPECT_FALSE(data.isLoaded());
    EXPECT_TRUE(data.fileWritable());
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_TRUE(data.load(path).ok());
    EXPECT_EQ(data.table().count(), 3u);
}

// A load or a save that takes longer than the time limit is ended there, and the file stays as
// it was.
TEST_F(StoreTest, ALoadOrSaveThatTakesLongerThanTheLimitIsEnded) {
    ReminderChanges all;
    for (std::int32_t n = 1; n <= 50'000; ++n) {
        all.numbers.push_back(n);
        all.rows.push_back(FullRow(n));
    }
    ASSERT_TRUE(SqliteReminderStore().create(path, all.rows));
    const std::string before = ReadAll(path);
    for (ReminderRow& row : all.rows)
        row.setText(Col::Comment, "changed");
    SqliteReminderStore store;
    store.setTimeLimitForTests(std::chrono::milliseconds(20));
    std::vector<ReminderRow> rows;
    const auto start = std::chrono::steady_clock::now();
    const Status loaded = store.load(path, rows);
    const Status written = store.write(path, all);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    for (const Status& status : {loaded, written}) {
        EXPECT_EQ(status.kind, Status::Failure::Other);
        EXPECT_EQ(status.error, "the file took longer than 20 milliseconds");
    }
    EXPECT_TRUE(ReadAll(path) == before) << "the file was changed";
    EXPECT_TRUE(SqliteReminderStore().load(path, rows));
    EXPECT_EQ(rows.size(), all.rows.size());
}

// Before a new file is made: a journal or log left without its file is removed (SQLite would
// apply it to the new file), and so are new files of a creation that was killed. The new file
// is the user's alone.
TEST_F(StoreTest, ANewFileIsMadeWithoutWhatAnOldOneLeftBehind) {
    ASSERT_NO_FATAL_FAILURE(MakeThreeReminders(path));
    ASSERT_NO_FATAL_FAILURE(
        ExecAndDie(path, "PRAGMA cache_size = 1; BEGIN; WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL "
                         "SELECT i + 1 FROM c WHERE i < 3000) INSERT INTO things (N, COMMENT) "
                         "SELECT 100 + i, printf('%.90c', 'x') FROM c;"));
    ASSERT_TRUE(fs::exists(path + "-journal"));
    fs::remove(path);
    std::ofstream(path + ".new-99999") << "left by a killed save";

    ReminderRepository data;
    ASSERT_TRUE(data.load(path).ok());
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(data.saveReminder(NewReminder("new"), DayCountEpoch).ok());
    ASSERT_TRUE(data.save(path).ok());
    EXPECT_EQ(Messages(path), std::vector<std::string>{"1 new"});
    ASSERT_TRUE(data.load(path).ok());
    EXPECT_FALSE(fs::exists(path + ".new-99999"));
    EXPECT_FALSE(fs::exists(path + "-journal"));
}

namespace {

// SQLite's own file layer, but the process ends at the k-th write or sync of any file (the
// file, its journal, its log): a kill at that instant.
class KillingVfs {
public:
    static void install(int writesLeft) {
        s_real = sqlite3_vfs_find(nullptr);
        s_left = writesLeft;
        static sqlite3_vfs vfs = *s_real;
        vfs.zName = "killing";
        vfs.szOsFile = static_cast<int>(sizeof(File)) + s_real->szOsFile;
        vfs.xOpen = &open;
        sqlite3_vfs_register(&vfs, 1);
    }

private:
    struct File {
        sqlite3_file base;
        sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
    };
    static File* of(sqlite3_file* f) { return reinterpret_cast<File*>(f); }
    static void countDown() {
        if (--s_left == 0)
            ::_exit(3);
    }
    static int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* out) {
        File* file = of(f);
        file->base.pMethods = nullptr;
        const int rc = s_real->xOpen(s_real, name, file->real(), flags, out);
        if (file->real()->pMethods == nullptr)
            return rc;
        static sqlite3_io_methods methods = [] {
            sqlite3_io_methods m{};
            m.iVersion = 3;
            m.xClose = [](sqlite3_file* f) {
                return of(f)->real()->pMethods->xClose(of(f)->real());
            };
            m.xRead = [](sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
                return of(f)->real()->pMethods->xRead(of(f)->real(), b, n, o);
            };
            m.xWrite = [](sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
                countDown();
                return of(f)->real()->pMethods->xWrite(of(f)->real(), b, n, o);
            };
            m.xTruncate = [](sqlite3_file* f, sqlite3_int64 n) {
                return of(f)->real()->pMethods->xTruncate(of(f)->real(), n);
            };
            m.xSync = [](sqlite3_file* f, int flags) {
                countDown();
                return of(f)->real()->pMethods->xSync(of(f)->real(), flags);
            };
            m.xFileSize = [](sqlite3_file* f, sqlite3_int64* n) {
                return of(f)->real()->pMethods->xFileSize(of(f)->real(), n);
            };
            m.xLock = [](sqlite3_file* f, int l) {
                return of(f)->real()->pMethods->xLock(of(f)->real(), l);
            };
            m.xUnlock = [](sqlite3_file* f, int l) {
                return of(f)->real()->pMethods->xUnlock(of(f)->real(), l);
            };
            m.xCheckReservedLock = [](sqlite3_file* f, int* r) {
                return of(f)->real()->pMethods->xCheckReservedLock(of(f)->real(), r);
            };
            m.xFileControl = [](sqlite3_file* f, int op, void* a) {
                return of(f)->real()->pMethods->xFileControl(of(f)->real(), op, a);
            };
            m.xSectorSize = [](sqlite3_file* f) {
                return of(f)->real()->pMethods->xSectorSize(of(f)->real());
            };
            m.xDeviceCharacteristics = [](sqlite3_file* f) {
                return of(f)->real()->pMethods->xDeviceCharacteristics(of(f)->real());
            };
            m.xShmMap = [](sqlite3_file* f, int i, int n, int w, void volatile** p) {
                return of(f)->real()->pMethods->xShmMap(of(f)->real(), i, n, w, p);
            };
            m.xShmLock = [](sqlite3_file* f, int o, int n, int fl) {
                return of(f)->real()->pMethods->xShmLock(of(f)->real(), o, n, fl);
            };
            m.xShmBarrier = [](sqlite3_file* f) {
                of(f)->real()->pMethods->xShmBarrier(of(f)->real());
            };
            m.xShmUnmap = [](sqlite3_file* f, int d) {
                return of(f)->real()->pMethods->xShmUnmap(of(f)->real(), d);
            };
            m.xFetch = [](sqlite3_file* f, sqlite3_int64 o, int n, void** p) {
                return of(f)->real()->pMethods->xFetch(of(f)->real(), o, n, p);
            };
            m.xUnfetch = [](sqlite3_file* f, sqlite3_int64 o, void* p) {
                return of(f)->real()->pMethods->xUnfetch(of(f)->real(), o, p);
            };
            return m;
        }();
        file->base.pMethods = &methods;
        return rc;
    }

    static inline sqlite3_vfs* s_real = nullptr;
    static inline int s_left = 0;
};

ReminderRow Numbered(std::int32_t n, const std::string& text) {
    ReminderRow row;
    row.setInteger(Col::N, n);
    row.setText(Col::Comment, text);
    return row;
}

} // namespace

// A save killed at any write or sync of the file, its journal or its log leaves the file
// readable, with the reminders of before the save or of after it, in either journal mode.
TEST_F(StoreTest, ASaveKilledAtAnyWriteOrSyncLeavesTheOldRemindersOrTheNew) {
    ReminderChanges changes;
    changes.numbers = {1, 3};
    changes.rows = {Numbered(1, "edited")};
    for (std::int32_t n = 4; n <= 30; ++n) {
        changes.numbers.push_back(n);
        changes.rows.push_back(Numbered(n, std::string(100, 'n')));
    }
    const std::string original = folder + "/original.mln";
    for (const char* mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            fs::remove(original + suffix);
        ASSERT_NO_FATAL_FAILURE(MakeThreeReminders(original));
        ASSERT_EQ(Exec(original, std::string("PRAGMA journal_mode = ") + mode), "");
        const std::vector<std::string> before = Messages(original);
        fs::copy_file(original, path, fs::copy_options::overwrite_existing);
        const Status written = SqliteReminderStore().write(path, changes);
        ASSERT_TRUE(written) << written.error;
        const std::vector<std::string> after = Messages(path);
        ASSERT_NE(before, after);

        bool finished = false;
        int k = 1;
        for (; !finished && k < 10'000; ++k) {
            for (const char* suffix : {"", "-journal", "-wal", "-shm"})
                fs::remove(path + suffix);
            fs::copy_file(original, path);
            const pid_t pid = ::fork();
            ASSERT_NE(pid, -1);
            if (pid == 0) {
                KillingVfs::install(k);
                ::_exit(SqliteReminderStore().write(path, changes) ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            ASSERT_TRUE(WIFEXITED(status)) << status;
            ASSERT_NE(WEXITSTATUS(status), 1) << "the save failed at write " << k;
            finished = WEXITSTATUS(status) == 0;
            const std::vector<std::string> read = Messages(path);
            EXPECT_TRUE(read == (finished ? after : before) || read == after)
                << "killed at write or sync " << k << ": " << read.front();
        }
        EXPECT_TRUE(finished);
        EXPECT_GT(k, 5) << "too few writes to stop at";
    }
}

// Files built from SQL that the fuzzer started from or found: each loads and saves within the
// time limit, and a save leaves a file with exactly the reminders it wrote.
TEST_F(StoreTest, FilesBuiltFromSqlLoadAndSaveAsTheyShould) {
    int replayed = 0;
    for (const char* where :
         {CHIMEWELL_FUZZ_CORPUS "/reminder_sql", CHIMEWELL_FUZZ_FINDINGS "/reminder_sql"}) {
        if (!fs::exists(where))
            continue;
        for (const auto& entry : fs::directory_iterator(where)) {
            SCOPED_TRACE(entry.path().filename().string());
            if (!reminder_sql::buildFiles(ReadAll(entry.path().string()), path))
                continue;
            ++replayed;
            EXPECT_EQ(reminder_sql::failure(path), "");
        }
    }
    EXPECT_GT(replayed, 0);
}

namespace {

fs::perms Mode(const std::string& path) {
    return fs::status(path).permissions() & fs::perms::all;
}

constexpr fs::perms PrivateFolder = fs::perms::owner_all;
constexpr fs::perms PrivateFile = fs::perms::owner_read | fs::perms::owner_write;

} // namespace

// The folders and the file the program makes are the user's alone, whatever the umask: one
// that would leave them open to others, and one that would leave the file unwritable.
TEST_F(StoreTest, NewFoldersAndFilesAreTheUsersAloneWhateverTheUmask) {
    for (const mode_t mask : {mode_t{0}, mode_t{0277}}) {
        SCOPED_TRACE(mask);
        const std::string data = folder + "/data" + std::to_string(mask);
        const std::string file = data + "/Chimewell/things.mln";
        {
            UmaskScope umask(mask);
            ReminderRepository repository;
            const Status loaded = repository.load(file);
            ASSERT_TRUE(loaded.ok()) << loaded.error;
            ASSERT_TRUE(repository.saveReminder(NewReminder("one"), DayCountEpoch).ok());
            const Status saved = repository.save(file);
            ASSERT_TRUE(saved.ok()) << saved.error;
        }
        EXPECT_EQ(Mode(data), PrivateFolder);
        EXPECT_EQ(Mode(data + "/Chimewell"), PrivateFolder);
        EXPECT_EQ(Mode(file), PrivateFile);
        EXPECT_EQ(Messages(file), std::vector<std::string>{"1 one"});
    }
}

// A things.mln that is a link stays one when the file is made anew: the new file goes where
// the link points, folder and all. A file that is there keeps its mode.
TEST_F(StoreTest, ALinkStaysALinkAndAFileMadeAnewOverAnOldOneKeepsItsMode) {
    const std::string target = folder + "/elsewhere/kept.mln";
    fs::create_directories(folder + "/elsewhere");
    fs::create_symlink("elsewhere/kept.mln", path);
    ReminderRepository data;
    ASSERT_TRUE(data.load(path).ok());
    ASSERT_TRUE(data.saveReminder(NewReminder("one"), DayCountEpoch).ok());
    ASSERT_TRUE(data.save(path).ok());
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(Messages(target), std::vector<std::string>{"1 one"});

    // Gone while the program runs: made anew by the next save, beside the link's target.
    fs::remove_all(folder + "/elsewhere");
    ASSERT_TRUE(data.saveReminder(NewReminder("two"), DayCountEpoch).ok());
    const Status saved = data.save(path);
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(Messages(target), (std::vector<std::string>{"1 one", "2 two"}));
    EXPECT_EQ(Mode(folder + "/elsewhere"), PrivateFolder);
    EXPECT_EQ(Mode(target), PrivateFile);

    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(SqliteReminderStore().create(path, data.table().rows()));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(Mode(target), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A file its owner may not write is not written, even by a program that could (run as the
// administrator): the save fails, says why, and its changes wait for the next one.
TEST_F(StoreTest, AReadOnlyFileIsNotWrittenAndTheChangesWait) {
    ASSERT_NO_FATAL_FAILURE(MakeThreeReminders(path));
    ReminderRepository data;
    ASSERT_TRUE(data.load(path).ok());
    ::chmod(path.c_str(), 0444);
    const std::string before = ReadAll(path);
    ASSERT_TRUE(data.saveReminder(Edited(data, 2, "edited"), DayCountEpoch).ok());
    const Status refused = data.save(path);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), "Unable to write " + path + ": the file is read-only");
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_TRUE(data.hasUnsavedChanges());
    EXPECT_FALSE(SqliteReminderStore().create(path, {}));
    EXPECT_EQ(ReadAll(path), before);

    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(data.save(path).ok());
    EXPECT_EQ(Messages(path), (std::vector<std::string>{"1 one", "2 edited", "3 three"}));
}

// The data folder removed while the program runs: the next save makes it and the file whole
// from the table, also a save with nothing changed (the one at the exit).
TEST_F(StoreTest, TheFolderRemovedWhileRunningIsMadeAgainByTheNextSave) {
    const std::string data = folder + "/Chimewell";
    const std::string file = data + "/things.mln";
    fs::create_directories(data);
    ASSERT_NO_FATAL_FAILURE(MakeThreeReminders(file));
    ReminderRepository repository;
    ASSERT_TRUE(repository.load(file).ok());

    fs::remove_all(data);
    const Status unchanged = repository.save(file);
    ASSERT_TRUE(unchanged.ok()) << unchanged.error;
    EXPECT_EQ(Messages(file), (std::vector<std::string>{"1 one", "2 two", "3 three"}));
    EXPECT_EQ(Mode(data), PrivateFolder);

    fs::remove_all(data);
    ASSERT_TRUE(repository.deleteReminder(1));
    const Status changed = repository.save(file);
    ASSERT_TRUE(changed.ok()) << changed.error;
    EXPECT_EQ(Messages(file), (std::vector<std::string>{"2 two", "3 three"}));
    EXPECT_FALSE(repository.hasUnsavedChanges());
}
