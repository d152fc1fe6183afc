#include "TempHome.h"
#include "uDataModule.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A row that sets every column, with the given number.
ThingRow FullRow(std::int32_t n) {
    ThingRow r;
    for (int i = 0; i < ColumnCount; ++i) {
        const Col c = static_cast<Col>(i);
        switch (Column(c).type) {
        case ColumnType::Int32:
            r.SetInt(c, -2'000'000'000 + i);
            break;
        case ColumnType::Word:
            r.SetInt(c, 65535 - i);
            break;
        case ColumnType::Real:
            r.SetReal(c, 46000.123456789 + i);
            break;
        case ColumnType::Text:
            r.SetText(c, "Привет, \"мир\" ' " + std::to_string(i));
            break;
        }
    }
    r.SetInt(Col::N, n);
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
    std::vector<std::string> messages;
    void SetUp() override {
        SetMessageSink([this](const std::string& m) { messages.push_back(m); });
    }
    void TearDown() override { SetMessageSink(nullptr); }
};

} // namespace

TEST_F(StoreTest, RoundTripsEveryColumnTypeNullsAndOddFlags) {
    std::vector<ThingRow> rows{FullRow(3), ThingRow{}, FullRow(1)};
    rows[1].SetInt(Col::N, 2);
    rows[1].SetInt(Col::Mon, 2); // stored as 2, read back as 2 (and as false)
    rows[1].SetText(Col::Comment, "");
    SqliteThingsStore store;
    ASSERT_TRUE(store.Save(path, rows).ok);
    std::vector<ThingRow> back;
    ASSERT_TRUE(store.Load(path, back).ok);
    EXPECT_EQ(back, rows); // stored order kept
    EXPECT_EQ(back[1].Int(Col::Mon), 2);
    EXPECT_FALSE(back[1].Flag(Col::Mon));
    EXPECT_TRUE(back[1].IsNull(Col::Hint));
    EXPECT_FALSE(back[1].IsNull(Col::Comment));
}

TEST_F(StoreTest, FileHasTheStoredSchema) {
    SqliteThingsStore store;
    ASSERT_TRUE(store.Save(path, {FullRow(1)}).ok);
    const auto cols = Query(path, "SELECT name FROM pragma_table_info('things') ORDER BY cid");
    std::vector<std::string> expected;
    for (const auto& c : Columns())
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

    TDataModule1 data;
    ASSERT_TRUE(data.LoadThings(path));
    ASSERT_EQ(data.table.Count(), 1u);
    EXPECT_EQ(data.table.RowAt(0).Text(Col::Comment), "tea");
    EXPECT_TRUE(data.table.RowAt(0).Flag(Col::Mon));
    EXPECT_TRUE(data.table.RowAt(0).IsNull(Col::Special));
    EXPECT_EQ(LastThingNumber, 4);
}

TEST_F(StoreTest, MissingFileIsCreatedEmpty) {
    TDataModule1 data;
    ASSERT_TRUE(data.LoadThings(path));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(data.table.Count(), 0u);
    EXPECT_EQ(LastThingNumber, 0);
    EXPECT_TRUE(messages.empty());
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
        {"newer format",
         [](const std::string& p) {
             SqliteThingsStore().Save(p, {FullRow(1)});
             sqlite3* db = nullptr;
             sqlite3_open(p.c_str(), &db);
             sqlite3_exec(db, "PRAGMA user_version = 9", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }},
        {"value out of range",
         [](const std::string& p) {
             SqliteThingsStore().Save(p, {});
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
        messages.clear();
        c.make(path);
        const std::string before = ReadAll(path);
        TDataModule1 data;
        EXPECT_FALSE(data.LoadThings(path));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(path), std::string::npos) << messages[0];
        EXPECT_FALSE(data.FileWritable());
        eventParams p;
        p.isNewThing = true;
        EXPECT_TRUE(data.SaveThing(p, 1).isSaved); // kept in memory
        EXPECT_FALSE(data.SaveThings(path));
        EXPECT_EQ(ReadAll(path), before);
    }
}

TEST_F(StoreTest, FailureBeforeReplaceKeepsThePreviousFile) {
    SqliteThingsStore store;
    ASSERT_TRUE(store.Save(path, {FullRow(1)}).ok);
    const std::string before = ReadAll(path);
    store.beforeReplace = [](const std::string& temp) {
        EXPECT_TRUE(fs::exists(temp));
        return false;
    };
    EXPECT_FALSE(store.Save(path, {FullRow(1), FullRow(2)}).ok);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(StoreTest, SaveKilledAtAnyMomentLeavesAReadableFile) {
    // A child process saves a large table over and over; it is killed at varying
    // moments and the file must always read back whole, old or new.
    std::vector<ThingRow> big;
    for (int i = 1; i <= 20000; ++i)
        big.push_back(FullRow(i));
    SqliteThingsStore store;
    ASSERT_TRUE(store.Save(path, {FullRow(1)}).ok);
    for (int round = 0; round < 4; ++round) {
        const pid_t pid = ::fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            SqliteThingsStore child;
            for (;;)
                child.Save(path, big);
        }
        // Wait until the child is writing a temporary file, then kill it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool writing = false;
        while (!writing && std::chrono::steady_clock::now() < deadline) {
            for (const auto& e : fs::directory_iterator(folder))
                writing |= e.path().filename().string().find(".new-") != std::string::npos;
            std::this_thread::sleep_for(std::chrono::milliseconds(round * 7 + 1));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ASSERT_TRUE(writing);
        std::vector<ThingRow> back;
        const StoreResult r = store.Load(path, back);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_TRUE(back.size() == 1 || back.size() == big.size()) << back.size();
    }
}
