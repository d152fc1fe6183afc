#pragma once
// Reminder files as another SQLite program leaves them, built from SQL: the file, and what an
// unfinished transaction leaves beside it (a hot journal, a write-ahead log). What the program
// must do with them: load and save within its time limit and in bounded memory, and a save
// must leave a file that loads with exactly the reminders it wrote. Shared by the fuzz target
// and the tests that replay what it found.
//
// The input is SQL run on a new database; a line "-- journal" or "-- wal" starts SQL run in a
// transaction that is left unfinished, its journal or log kept beside the file.

#include "core/ReminderStore.h"
#include "tests/support/MemoryReminderStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <string>

namespace reminder_sql {

// Refuses what would reach files other than the database built.
inline int authorize(void*, int action, const char*, const char*, const char*, const char*) {
    return action == SQLITE_ATTACH || action == SQLITE_DETACH ? SQLITE_DENY : SQLITE_OK;
}

inline int stopAfterASecond(void* start) {
    return std::chrono::steady_clock::now() -
                       *static_cast<std::chrono::steady_clock::time_point*>(start) >
                   std::chrono::seconds(1)
               ? 1
               : 0;
}

// Builds the file at path (with its journal or log) from the SQL; false when the input is
// not one that is built (it names files of its own).
inline bool buildFiles(const std::string& input, const std::string& path) {
    std::string lower = input;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find("vacuum") != std::string::npos || lower.find('\0') != std::string::npos)
        return false;
    std::string first = input, unfinished, companion;
    for (const char* mark : {"\n-- journal\n", "\n-- wal\n"})
        if (const auto at = input.find(mark); at != std::string::npos) {
            first = input.substr(0, at);
            unfinished = input.substr(at + std::char_traits<char>::length(mark));
            companion = std::string(mark) == "\n-- wal\n" ? "-wal" : "-journal";
            break;
        }
    namespace fs = std::filesystem;
    const std::string work = path + ".work";
    std::error_code ec;
    for (const std::string& p : {path, work})
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            fs::remove(p + suffix, ec);
    sqlite3* db = nullptr;
    if (sqlite3_open(work.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_set_authorizer(db, &authorize, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1'000'000);
    auto start = std::chrono::steady_clock::now();
    sqlite3_progress_handler(db, 1000, &stopAfterASecond, &start);
    sqlite3_exec(db, first.c_str(), nullptr, nullptr, nullptr);
    if (!companion.empty()) {
        start = std::chrono::steady_clock::now();
        const std::string begin =
            companion == "-wal" ? "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0;"
                                : "PRAGMA journal_mode = DELETE; PRAGMA cache_size = 1; BEGIN;";
        sqlite3_exec(db, (begin + unfinished).c_str(), nullptr, nullptr, nullptr);
        // The files as a kill at this instant leaves them.
        fs::copy_file(work + companion, path + companion, ec);
    }
    fs::copy_file(work, path, ec);
    sqlite3_close(db);
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        fs::remove(work + suffix, ec);
    return fs::exists(path, ec);
}

// Loads the file, and when it loads, saves a change to its first numbered reminder and loads
// it again; what broke, or empty.
inline std::string failure(const std::string& path) {
    using Clock = std::chrono::steady_clock;
    const auto slack = std::chrono::seconds(3);
    SqliteReminderStore store;
    std::vector<ReminderRow> rows;
    sqlite3_memory_highwater(1);
    auto start = Clock::now();
    const Status loaded = store.load(path, rows);
    if (Clock::now() - start > SqliteReminderStore::TimeLimit + slack)
        return "a load took longer than its limit";
    constexpr sqlite3_int64 MemoryLimit = 256 << 20;
    if (sqlite3_memory_highwater(1) > MemoryLimit)
        return "a load took more memory than it may";
    if (!loaded)
        return {};
    const auto first = std::find_if(rows.begin(), rows.end(),
                                    [](const ReminderRow& row) { return !row.isNull(Col::N); });
    if (first == rows.end())
        return {};
    ReminderChanges changes;
    changes.numbers = {first->integer(Col::N)};
    for (const ReminderRow& row : rows)
        if (!row.isNull(Col::N) && row.integer(Col::N) == changes.numbers[0])
            changes.rows.push_back(row);
    changes.rows[0].setText(Col::Comment, "changed by the program");
    changes.rows[0].setNull(Col::Hint);
    start = Clock::now();
    const Status written = store.write(path, changes);
    if (Clock::now() - start > SqliteReminderStore::TimeLimit + slack)
        return "a save took longer than its limit";
    if (sqlite3_memory_highwater(1) > MemoryLimit)
        return "a save took more memory than it may";
    if (!written)
        return {};
    MemoryReminderStore expected(rows);
    (void)expected.write(path, changes);
    std::vector<ReminderRow> again;
    if (const Status reread = store.load(path, again); !reread)
        return "a file the program saved does not load: " + reread.error;
    if (again != expected.rows)
        return "a file the program saved holds other reminders than it wrote";
    return {};
}

} // namespace reminder_sql
