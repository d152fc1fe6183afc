#include "core/ReminderRepository.h"
#include "tests/support/ReadAll.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A side table of the kind later files keep: a text, a whole number and a real number.
const SideTable Notes{
    "notes",
    {{"uid", SideType::Text, 8}, {"count", SideType::Integer, 0}, {"at", SideType::Real, 0}}};

SideRow Note(std::int32_t number, std::string uid, std::int64_t count) {
    return {number, {std::move(uid), count, 46000.25}};
}

int Exec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc;
}

struct SideTableTest : ::testing::Test {
    std::string path = MakeTempFolder("side") + "/things.mln";
    SqliteReminderStore* store = nullptr;

    std::unique_ptr<ReminderRepository> Repository() {
        auto s = std::make_unique<SqliteReminderStore>(std::vector<SideTable>{Notes});
        store = s.get();
        auto data = std::make_unique<ReminderRepository>(std::move(s));
        EXPECT_TRUE(data->load(path).ok());
        return data;
    }
    std::int32_t Add(ReminderRepository& data, const std::string& message) {
        Reminder r;
        r.isNew = true;
        r.message = message;
        const Status saved = data.saveReminder(r, makeMoment(2026, 12, 9, 10, 0));
        EXPECT_TRUE(saved.ok());
        return saved.number.value_or(-1);
    }
};

} // namespace

TEST_F(SideTableTest, RowsAreWrittenReadAndRemovedWithTheirReminder) {
    std::int32_t tea = 0, walk = 0;
    {
        auto data = Repository();
        tea = Add(*data, "tea");
        walk = Add(*data, "walk");
        ASSERT_TRUE(data->setSideRows(0, tea, {Note(0, "a", 1), {0, {std::monostate{}, 2, 0.5}}}));
        ASSERT_TRUE(data->setSideRows(0, walk, {Note(0, "ёжик", -7)}));
        EXPECT_FALSE(data->setSideRows(0, 99, {Note(0, "x", 1)})) << "no such reminder";
        ASSERT_TRUE(data->save(path).ok());
    }
    auto data = Repository();
    EXPECT_EQ(data->sideRows(0, tea),
              (std::vector<SideRow>{Note(tea, "a", 1), {tea, {std::monostate{}, 2, 0.5}}}));
    EXPECT_EQ(data->sideRows(0, walk), std::vector<SideRow>{Note(walk, "ёжик", -7)});

    // A change of the reminder alone keeps its rows; a removal takes them along.
    Reminder changed = *data->reminder(walk);
    changed.message = "walk the dog";
    ASSERT_TRUE(data->saveReminder(changed, makeMoment(2026, 12, 9, 10, 0)).ok());
    ASSERT_TRUE(data->deleteReminder(tea));
    EXPECT_TRUE(data->sideRows(0, tea).empty());
    ASSERT_TRUE(data->save(path).ok());
    data = Repository();
    EXPECT_EQ(data->sideRows(0, walk), std::vector<SideRow>{Note(walk, "ёжик", -7)});
    std::vector<ReminderRow> rows;
    SideRows side;
    ASSERT_TRUE(SqliteReminderStore({Notes}).load(path, rows, side));
    EXPECT_EQ(side, SideRows{{Note(walk, "ёжик", -7)}}) << "the removed reminder's rows are gone";

    // A file made anew (it was removed meanwhile) carries every row.
    fs::remove(path);
    ASSERT_TRUE(data->setSideRows(0, walk, {Note(0, "b", 3)}));
    ASSERT_TRUE(data->save(path).ok());
    ASSERT_TRUE(SqliteReminderStore({Notes}).load(path, rows, side));
    EXPECT_EQ(rows.size(), 1u);
    EXPECT_EQ(side, SideRows{{Note(walk, "b", 3)}});
}

TEST_F(SideTableTest, ASaveThatFailsWritesNeitherTheReminderNorItsRows) {
    auto data = Repository();
    const std::int32_t tea = Add(*data, "tea");
    ASSERT_TRUE(data->save(path).ok());
    const std::string before = ReadAll(path);

    Reminder changed = *data->reminder(tea);
    changed.message = "green tea";
    ASSERT_TRUE(data->saveReminder(changed, makeMoment(2026, 12, 9, 10, 0)).ok());
    ASSERT_TRUE(data->setSideRows(0, tea, {Note(0, "a", 1)}));
    store->setStepHookForTests([](SqliteReminderStore::SaveStep step, const std::string&) {
        return step != SqliteReminderStore::SaveStep::Commit;
    });
    EXPECT_FALSE(data->save(path).ok());
    EXPECT_EQ(ReadAll(path), before);

    // The next save writes both.
    store->setStepHookForTests({});
    ASSERT_TRUE(data->save(path).ok());
    data = Repository();
    EXPECT_EQ(data->reminder(tea)->message, "green tea");
    EXPECT_EQ(data->sideRows(0, tea), std::vector<SideRow>{Note(tea, "a", 1)});
}

TEST_F(SideTableTest, AFileWithoutTheTableGainsItAtItsNextSave) {
    ASSERT_TRUE(SqliteReminderStore(std::vector<SideTable>{}).create(path, {}));
    auto data = Repository();
    const std::int32_t tea = Add(*data, "tea");
    ASSERT_TRUE(data->setSideRows(0, tea, {Note(0, "a", 1)}));
    ASSERT_TRUE(data->save(path).ok());
    data = Repository();
    EXPECT_EQ(data->sideRows(0, tea), std::vector<SideRow>{Note(tea, "a", 1)});
}

TEST_F(SideTableTest, ATableOrValueThatCannotBeWrittenBackIsWrongContent) {
    const struct {
        const char* sql;
        const char* why;
    } cases[] = {
        {"INSERT INTO notes VALUES (1, 'ninechars', 1, 1.0)", "9 characters"},
        {"INSERT INTO notes VALUES (1, 'a', 'one', 1.0)", "not a whole number"},
        {"INSERT INTO notes VALUES (1, x'61', 1, 1.0)", "not text"},
        {"INSERT INTO notes VALUES ('one', 'a', 1, 1.0)", "not a reminder number"},
        {"INSERT INTO notes VALUES (4294967296, 'a', 1, 1.0)", "not a reminder number"},
        {"DROP TABLE notes; CREATE TABLE notes (N INTEGER, uid BLOB, count INTEGER, at REAL)",
         "declared as \"BLOB\""},
        {"DROP TABLE notes; CREATE TABLE notes (N INTEGER, uid TEXT, at REAL)",
         "has no column \"count\""},
        {"DROP TABLE notes; CREATE VIEW notes AS SELECT 1", "not an ordinary table"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        fs::remove(path);
        Repository();
        // Another program's file, whose checks need not be the program's.
        ASSERT_EQ(Exec(path, "PRAGMA ignore_check_constraints = ON; " + std::string(c.sql)),
                  SQLITE_OK);
        const std::string before = ReadAll(path);
        ReminderRepository data(
            std::make_unique<SqliteReminderStore>(std::vector<SideTable>{Notes}));
        const Status read = data.load(path);
        EXPECT_NE(read.message().find(c.why), std::string::npos) << read.message();
        EXPECT_FALSE(data.fileWritable());
        EXPECT_FALSE(data.save(path).ok());
        EXPECT_EQ(ReadAll(path), before) << "never written";
    }
}

// The program's own table of pending alerts: one required occurrence per reminder, beside
// a "things" that stays as it was.
TEST_F(SideTableTest, ThePendingAlertsKeepOneRequiredOccurrencePerReminder) {
    const std::size_t pending = sideTableIndex(PendingAlertsTable);
    {
        ReminderRepository data;
        ASSERT_TRUE(data.load(path).ok());
        const std::int32_t tea = Add(data, "tea");
        ASSERT_TRUE(
            data.setSideRows(pending, tea, {{0, {std::string("2026-12-09T08:00:00+01:00")}}}));
        ASSERT_TRUE(data.save(path).ok());
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const auto one = [db](const char* sql) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        std::string value;
        if (sqlite3_step(st) == SQLITE_ROW)
            value = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
        return value;
    };
    EXPECT_EQ(one("SELECT count(*) FROM pragma_table_info('things')"), "25");
    EXPECT_EQ(one("PRAGMA user_version"), "1");
    EXPECT_EQ(one("SELECT OCCURRENCE FROM pending_alerts WHERE N = 1"),
              "2026-12-09T08:00:00+01:00");
    // A second row for the reminder, or one without an occurrence, is refused by the file.
    EXPECT_NE(
        sqlite3_exec(db, "INSERT INTO pending_alerts VALUES (1, 'x')", nullptr, nullptr, nullptr),
        SQLITE_OK);
    EXPECT_NE(
        sqlite3_exec(db, "INSERT INTO pending_alerts VALUES (2, NULL)", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);

    // Another program's table that lets an occurrence be empty: the file is not the program's.
    ASSERT_EQ(Exec(path, "DROP TABLE pending_alerts; CREATE TABLE pending_alerts (N INTEGER, "
                         "OCCURRENCE TEXT); INSERT INTO pending_alerts VALUES (1, NULL)"),
              SQLITE_OK);
    ReminderRepository data;
    const Status read = data.load(path);
    EXPECT_NE(read.message().find("OCCURRENCE: is empty"), std::string::npos) << read.message();
    EXPECT_FALSE(data.fileWritable());
}
