#include "core/ReminderStore.h"

#include "core/ScheduleText.h"

#include <sqlite3.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int FormatVersion = 1;

class Database {
public:
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database() { close(); }
    sqlite3** out() { return &m_db; }
    sqlite3* get() const { return m_db; }
    int close() {
        const int rc = m_db ? sqlite3_close(m_db) : SQLITE_OK;
        m_db = nullptr;
        return rc;
    }
    std::string errorText() const { return m_db ? sqlite3_errmsg(m_db) : "out of memory"; }

private:
    sqlite3* m_db = nullptr;
};

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) {
        m_rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &m_statement, nullptr);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(m_statement); }
    bool ok() const { return m_rc == SQLITE_OK; }
    sqlite3_stmt* get() const { return m_statement; }

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_rc;
};

std::string columnSql(const ColumnDef& c) {
    const std::string q = std::string("\"") + c.storedName + "\"";
    switch (c.type) {
    case ColumnType::Int32:
        return q + " INTEGER CHECK(" + q + " IS NULL OR " + q +
               " BETWEEN -2147483648 AND 2147483647)";
    case ColumnType::Word:
        return q + " INTEGER CHECK(" + q + " IS NULL OR " + q + " BETWEEN 0 AND 65535)";
    case ColumnType::Real:
        return q + " REAL";
    case ColumnType::Text:
        return q + " TEXT CHECK(" + q + " IS NULL OR length(" + q +
               ") <= " + std::to_string(c.maxSize) + ")";
    }
    return q;
}

std::string schemaSql() {
    std::string sql = "CREATE TABLE things (";
    bool first = true;
    for (const auto& c : columns()) {
        if (!first)
            sql += ", ";
        first = false;
        sql += columnSql(c);
    }
    sql += ");\nCREATE INDEX \"iThingsText\" ON things (\"COMMENT\");\n"
           "CREATE INDEX \"iN\" ON things (\"N\");\n"
           "PRAGMA user_version = " +
           std::to_string(FormatVersion) + ";";
    return sql;
}

std::string columnList() {
    std::string s;
    for (const auto& c : columns()) {
        if (!s.empty())
            s += ", ";
        s += std::string("\"") + c.storedName + "\"";
    }
    return s;
}

bool exec(sqlite3* db, const std::string& sql, std::string& error) {
    char* msg = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg) == SQLITE_OK)
        return true;
    error = msg ? msg : sqlite3_errmsg(db);
    sqlite3_free(msg);
    return false;
}

const char* storageClassName(int type) {
    switch (type) {
    case SQLITE_INTEGER:
        return "a whole number";
    case SQLITE_FLOAT:
        return "a real number";
    case SQLITE_TEXT:
        return "text";
    default:
        return "binary data";
    }
}

// Whether text is well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF), so that its characters count the same here and in the file's checks.
bool isUtf8(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        std::size_t more = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c < 0x80)
            more = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            more = 1;
        else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else
            return false;
        if (n - i <= more)
            return false;
        for (std::size_t k = 1; k <= more; ++k) {
            const unsigned char b = p[i + k];
            if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF))
                return false;
        }
        i += more + 1;
    }
    return true;
}

// Reads one cell into the row. A value the program could not compute with, or could not
// write back under the file's own checks, is refused: the reason, or empty when it fits.
std::string readCell(sqlite3_stmt* st, int i, ReminderRow& row) {
    const Col col = static_cast<Col>(i);
    const ColumnDef& def = column(col);
    const int type = sqlite3_column_type(st, i);
    if (type == SQLITE_NULL) {
        row.setNull(col);
        return {};
    }
    switch (def.type) {
    case ColumnType::Int32:
    case ColumnType::Word: {
        if (type != SQLITE_INTEGER)
            return std::string("holds ") + storageClassName(type) + ", not a whole number";
        const sqlite3_int64 v = sqlite3_column_int64(st, i);
        const sqlite3_int64 lo = def.type == ColumnType::Word ? 0 : std::numeric_limits<int>::min();
        const sqlite3_int64 hi =
            def.type == ColumnType::Word ? 65535 : std::numeric_limits<int>::max();
        if (v < lo || v > hi)
            return "holds " + std::to_string(v) + ", outside " + std::to_string(lo) + " to " +
                   std::to_string(hi);
        row.setInteger(col, static_cast<std::int32_t>(v));
        return {};
    }
    case ColumnType::Real: {
        if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
            return std::string("holds ") + storageClassName(type) + ", not a date";
        const double v = sqlite3_column_double(st, i);
        if (!std::isfinite(v))
            return "holds a date that is not a finite number";
        if (!isDayCountInRange(v))
            return "holds a date outside the years 1 to 9999";
        row.setReal(col, v);
        return {};
    }
    case ColumnType::Text: {
        if (type != SQLITE_TEXT)
            return std::string("holds ") + storageClassName(type) + ", not text";
        const auto* p = sqlite3_column_text(st, i);
        const auto n = static_cast<std::size_t>(sqlite3_column_bytes(st, i));
        if (!isUtf8(p, n))
            return "holds text that is not UTF-8";
        std::string text(reinterpret_cast<const char*>(p), n);
        const std::size_t length = utf8Length(text);
        if (length > static_cast<std::size_t>(def.maxSize))
            return "holds a text of " + std::to_string(length) + " characters, more than the " +
                   std::to_string(def.maxSize) + " it can hold";
        row.setText(col, std::move(text));
        return {};
    }
    }
    return {};
}

bool syncPath(const std::string& path, bool directory, std::string& error) {
    const int fd = ::open(path.c_str(), (directory ? O_RDONLY | O_DIRECTORY : O_RDWR) | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    if (!ok)
        error = std::strerror(errno);
    ::close(fd);
    return ok;
}

} // namespace

Status SqliteReminderStore::load(const std::string& path, std::vector<ReminderRow>& rows) {
    rows.clear();
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return {false, ec ? ec.message() : "not a regular file"};
    Database db;
    if (sqlite3_open_v2(path.c_str(), db.out(), SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return {false, db.errorText()};
    // The file may come from anywhere: its schema is not trusted to run functions.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    {
        // Only a table: a view could compute rows without end.
        Statement kind(db.get(),
                       "SELECT type FROM sqlite_master WHERE name = 'things' COLLATE NOCASE");
        if (!kind.ok())
            return {false, "not a reminder file (" + db.errorText() + ")"};
        if (sqlite3_step(kind.get()) != SQLITE_ROW ||
            std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(kind.get(), 0)),
                        "table") != 0)
            return {false, "not a reminder file (it holds no table \"things\")"};
    }
    {
        Statement version(db.get(), "PRAGMA user_version");
        if (!version.ok())
            return {false, "not a reminder file (" + db.errorText() + ")"};
        if (sqlite3_step(version.get()) == SQLITE_ROW &&
            sqlite3_column_int(version.get(), 0) > FormatVersion)
            return {false, "written by a newer version of the program"};
    }
    Statement select(db.get(), "SELECT " + columnList() + " FROM things ORDER BY rowid");
    if (!select.ok())
        return {false, "not a reminder file (" + db.errorText() + ")"};
    int rc;
    std::vector<ReminderRow> read;
    while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
        ReminderRow row;
        for (int i = 0; i < ColumnCount; ++i) {
            const std::string why = readCell(select.get(), i, row);
            if (why.empty())
                continue;
            // N comes first, so the reminder's number is known unless N itself is refused.
            std::string where = "row " + std::to_string(read.size() + 1);
            if (i > 0 && !row.isNull(Col::N))
                where = "reminder " + std::to_string(row.integer(Col::N)) + " (" + where + ")";
            return Status::failure(where + ", column " + column(static_cast<Col>(i)).storedName +
                                   ": " + why);
        }
        read.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        return {false, db.errorText()};
    rows = std::move(read);
    return {};
}

Status SqliteReminderStore::save(const std::string& path, const std::vector<ReminderRow>& rows) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string temp =
        (folder / (target.filename().string() + ".new-" + std::to_string(::getpid()))).string();
    std::error_code ec;
    fs::remove(temp, ec);

    std::string error;
    auto fail = [&](const std::string& why) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return Status{false, why};
    };
    if (!proceed(SaveStep::Write, temp))
        return fail("the save was stopped before it wrote " + temp);
    {
        Database db;
        if (sqlite3_open_v2(temp.c_str(), db.out(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            return fail(db.errorText());
        // The file is new and private until the rename, so it needs no journal.
        if (!exec(db.get(), "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;", error) ||
            !exec(db.get(), "BEGIN", error) || !exec(db.get(), schemaSql(), error))
            return fail(error);
        std::string insert = "INSERT INTO things (" + columnList() + ") VALUES (?";
        for (int i = 1; i < ColumnCount; ++i)
            insert += ", ?";
        insert += ")";
        Statement st(db.get(), insert);
        if (!st.ok())
            return fail(db.errorText());
        for (const ReminderRow& row : rows) {
            for (int i = 0; i < ColumnCount; ++i) {
                const Col col = static_cast<Col>(i);
                const int p = i + 1;
                if (row.isNull(col)) {
                    sqlite3_bind_null(st.get(), p);
                    continue;
                }
                switch (column(col).type) {
                case ColumnType::Int32:
                case ColumnType::Word:
                    sqlite3_bind_int64(st.get(), p, row.integer(col));
                    break;
                case ColumnType::Real:
                    sqlite3_bind_double(st.get(), p, row.real(col));
                    break;
                case ColumnType::Text:
                    sqlite3_bind_text(st.get(), p, row.text(col).data(),
                                      static_cast<int>(row.text(col).size()), SQLITE_STATIC);
                    break;
                }
            }
            if (sqlite3_step(st.get()) != SQLITE_DONE)
                return fail(db.errorText());
            sqlite3_reset(st.get());
        }
        if (!exec(db.get(), "COMMIT", error))
            return fail(error);
    }
    if (!proceed(SaveStep::Sync, temp))
        return fail("the save was stopped before it synced " + temp);
    if (!syncPath(temp, false, error))
        return fail("unable to sync " + temp + ": " + error);
    if (!proceed(SaveStep::Rename, temp))
        return fail("the save was stopped before it replaced the file");
    if (::rename(temp.c_str(), path.c_str()) != 0)
        return fail(std::strerror(errno));
    if (proceed(SaveStep::SyncFolder, path))
        syncPath(folder.string(), true, error); // best effort: the rename is already visible
    return {};
}

std::unique_ptr<ReminderStore> makeSqliteReminderStore() {
    return std::make_unique<SqliteReminderStore>();
}
