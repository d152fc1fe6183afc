#include "core/ReminderRepository.h"
#include "tests/fuzz/ReminderFileRoundTrip.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

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
    ASSERT_TRUE(store.save(path, rows).ok);
    std::vector<ReminderRow> back;
    ASSERT_TRUE(store.load(path, back).ok);
    EXPECT_EQ(back, rows); // stored order kept
    EXPECT_EQ(back[1].integer(Col::Mon), 2);
    EXPECT_FALSE(back[1].flag(Col::Mon));
    EXPECT_TRUE(back[1].isNull(Col::Hint));
    EXPECT_FALSE(back[1].isNull(Col::Comment));
}

TEST_F(StoreTest, FileHasTheStoredSchema) {
    SqliteReminderStore store;
    ASSERT_TRUE(store.save(path, {FullRow(1)}).ok);
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
    ASSERT_TRUE(data.load(path).ok);
    ASSERT_EQ(data.table().count(), 1u);
    EXPECT_EQ(data.table().rowAt(0).text(Col::Comment), "tea");
    EXPECT_TRUE(data.table().rowAt(0).flag(Col::Mon));
    EXPECT_TRUE(data.table().rowAt(0).isNull(Col::Special));
    EXPECT_EQ(data.nextNumber(), 5);
}

TEST_F(StoreTest, MissingFileIsCreatedEmpty) {
    ReminderRepository data;
    const Status loaded = data.load(path);
    ASSERT_TRUE(loaded.ok) << loaded.error;
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
             ASSERT_TRUE(SqliteReminderStore().save(p, {FullRow(1)}).ok);
             sqlite3* db = nullptr;
             sqlite3_open(p.c_str(), &db);
             sqlite3_exec(db, "PRAGMA user_version = 9", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }},
        {"value out of range",
         [](const std::string& p) {
             ASSERT_TRUE(SqliteReminderStore().save(p, {}).ok);
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
        EXPECT_FALSE(loaded.ok);
        EXPECT_NE(loaded.error.find(path), std::string::npos) << loaded.error;
        EXPECT_FALSE(data.fileWritable());
        Reminder p;
        p.isNew = true;
        EXPECT_TRUE(data.saveReminder(p, DayCountEpoch).saved); // kept in memory
        EXPECT_FALSE(data.save(path).ok);
        EXPECT_EQ(ReadAll(path), before);
    }
}

TEST_F(StoreTest, ASaveStoppedAtAnyStepKeepsThePreviousFile) {
    using Step = SqliteReminderStore::SaveStep;
    SqliteReminderStore store;
    ASSERT_TRUE(store.save(path, {FullRow(1)}).ok);
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
        EXPECT_FALSE(store.save(path, {FullRow(1), FullRow(2)}).ok);
        EXPECT_EQ(reached.back(), stopAt);
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
    store.setStepHookForTests({});
    EXPECT_TRUE(store.save(path, {FullRow(1), FullRow(2)}).ok);
}

TEST_F(StoreTest, SaveKilledAtAnyStepLeavesTheOldFileOrTheNewOne) {
    // A child process saves a larger table and is killed at a chosen step of the save;
    // the file must read back whole: the old table before the rename, the new one after.
    using Step = SqliteReminderStore::SaveStep;
    std::vector<ReminderRow> big;
    for (int i = 1; i <= 2000; ++i)
        big.push_back(FullRow(i));
    SqliteReminderStore store;
    ASSERT_TRUE(store.save(path, {FullRow(1)}).ok);
    const struct {
        Step killAt;
        std::size_t rowsAfter;
    } cases[] = {{Step::Write, 1}, {Step::Sync, 1}, {Step::Rename, 1}, {Step::SyncFolder, 2000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.killAt));
        ASSERT_TRUE(store.save(path, {FullRow(1)}).ok);
        const pid_t pid = ::fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            SqliteReminderStore child;
            child.setStepHookForTests([&](Step step, const std::string&) {
                if (step == c.killAt)
                    ::raise(SIGKILL);
                return true;
            });
            (void)child.save(path, big);
            ::_exit(0); // not reached when the kill came
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        std::vector<ReminderRow> back;
        const Status r = store.load(path, back);
        ASSERT_TRUE(r.ok) << r.error;
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
            ASSERT_TRUE(loaded.ok) << loaded.error;
            EXPECT_EQ(data.table().count(), 2u);
            const Status saved = data.save(path);
            EXPECT_TRUE(saved.ok) << saved.error;
            continue;
        }
        EXPECT_FALSE(loaded.ok);
        EXPECT_NE(loaded.error.find(path), std::string::npos) << loaded.error;
        EXPECT_NE(loaded.error.find(c.refusal), std::string::npos) << loaded.error;
        // Nothing of the file is scanned, and nothing is written over it.
        EXPECT_EQ(data.table().count(), 0u);
        EXPECT_FALSE(data.fileWritable());
        EXPECT_FALSE(data.save(path).ok);
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
