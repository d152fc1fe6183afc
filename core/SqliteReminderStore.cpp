#include "core/ReminderStore.h"

#include "core/PrivateFiles.h"
#include "core/ScheduleText.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>

namespace fs = std::filesystem;

namespace {

constexpr int FormatVersion = 1;
// The longest text or binary value the file may hand over, in bytes.
constexpr int LengthLimit = 1'000'000;
// How many virtual machine steps go between two looks at the clock: few, since one step may
// call a function of the file's own expressions that takes long.
constexpr int ProgressSteps = 16;

using SteadyClock = std::chrono::steady_clock;

// One connection to the file, for one load or save: opened by path with the settings that
// keep a file from anywhere from running code or taking long, and closed at the end.
class Connection {
public:
    explicit Connection(std::chrono::milliseconds limit)
        : m_limit(limit), m_deadline(SteadyClock::now() + limit) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { sqlite3_close_v2(m_db); }

    // Opens an existing file for reading and writing; the result code.
    int open(const std::string& path) {
        const int rc = sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK)
            return rc;
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, static_cast<int>(SqliteReminderStore::BusyTimeout.count()));
        // The file may come from anywhere: its schema is not trusted to run functions, and
        // its triggers are for other programs.
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
        sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, LengthLimit);
        sqlite3_progress_handler(m_db, ProgressSteps, &Connection::tooLate, this);
        return exec("PRAGMA cell_size_check = ON");
    }
    sqlite3* get() const { return m_db; }

    // Runs statements without results; the result code.
    int exec(const std::string& sql) {
        return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    void rollback() { sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr); }

    // The failure a result code stands for. Content that the program cannot use, as SQLite
    // finds it, is wrong content; everything else may pass.
    Status failure(int rc) const {
        if (m_timedOut) {
            const auto ms = m_limit.count();
            return Status::failure("the file took longer than " +
                                   (ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds"
                                                   : std::to_string(ms) + " milliseconds"));
        }
        const std::string text = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        switch (rc & 0xff) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
        case SQLITE_TOOBIG:
            return wrongContent(text);
        default:
            return Status::failure(text);
        }
    }
    static Status wrongContent(const std::string& why) {
        return Status::failure("not a reminder file (" + why + ")", Status::Failure::WrongContent);
    }

private:
    static int tooLate(void* self) {
        auto* c = static_cast<Connection*>(self);
        c->m_timedOut = c->m_timedOut || SteadyClock::now() > c->m_deadline;
        return c->m_timedOut ? 1 : 0;
    }

    sqlite3* m_db = nullptr;
    std::chrono::milliseconds m_limit;
    SteadyClock::time_point m_deadline;
    bool m_timedOut = false;
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
    int rc() const { return m_rc; }
    sqlite3_stmt* get() const { return m_statement; }
    // One step that returns no row; true when done. The statement is ready for the next.
    bool run() {
        m_rc = sqlite3_step(m_statement);
        sqlite3_reset(m_statement);
        if (m_rc != SQLITE_DONE)
            return false;
        m_rc = SQLITE_OK;
        return true;
    }

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

// The type affinity SQLite gives a column declared with this type.
enum class Affinity { Integer, Text, Blob, Real, Numeric };
Affinity affinityOf(std::string declared) {
    std::transform(declared.begin(), declared.end(), declared.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto has = [&declared](const char* word) {
        return declared.find(word) != std::string::npos;
    };
    if (has("INT"))
        return Affinity::Integer;
    if (has("CHAR") || has("CLOB") || has("TEXT"))
        return Affinity::Text;
    if (has("BLOB") || declared.empty())
        return Affinity::Blob;
    if (has("REAL") || has("FLOA") || has("DOUB"))
        return Affinity::Real;
    return Affinity::Numeric;
}

Affinity affinityOf(ColumnType type) {
    switch (type) {
    case ColumnType::Real:
        return Affinity::Real;
    case ColumnType::Text:
        return Affinity::Text;
    default:
        return Affinity::Integer;
    }
}

bool equalNoCase(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string columnText(sqlite3_stmt* st, int i) {
    const auto* p = sqlite3_column_text(st, i);
    return p ? reinterpret_cast<const char*>(p) : "";
}

// The name that reaches the rowid of a table with these columns: a column of the file's own
// may take one of the rowid's names. Empty when every one is taken.
std::string rowidName(const std::vector<std::string>& names) {
    for (const char* alias : {"rowid", "_rowid_", "oid"})
        if (std::none_of(names.begin(), names.end(),
                         [alias](const std::string& n) { return equalNoCase(n, alias); }))
            return alias;
    return {};
}

// Checks that the file's "things" is a table the program reads and writes as it expects:
// an ordinary rowid table, no generated columns, each known column there with the type
// affinity the program's own file gives it (so that a value written reads back the same),
// and a format the program knows. Gives the name that reaches the rowid.
Status checkSchema(const Connection& c, std::string& rowid) {
    {
        Statement st(c.get(), "SELECT type, wr FROM pragma_table_list "
                              "WHERE schema = 'main' AND name = 'things' COLLATE NOCASE");
        if (!st.ok())
            return c.failure(st.rc());
        const int rc = sqlite3_step(st.get());
        if (rc == SQLITE_DONE)
            return Connection::wrongContent("it holds no table \"things\"");
        if (rc != SQLITE_ROW)
            return c.failure(rc);
        if (columnText(st.get(), 0) != "table" || sqlite3_column_int(st.get(), 1) != 0)
            return Connection::wrongContent("\"things\" is not an ordinary table");
    }
    {
        Statement st(c.get(), "SELECT name, type, hidden FROM pragma_table_xinfo('things')");
        if (!st.ok())
            return c.failure(st.rc());
        std::array<bool, ColumnCount> found{};
        std::vector<std::string> names;
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            const std::string name = columnText(st.get(), 0);
            const int hidden = sqlite3_column_int(st.get(), 2);
            if (hidden == 2 || hidden == 3)
                return Connection::wrongContent("its column \"" + name + "\" is generated");
            names.push_back(name);
            const std::optional<Col> col = columnByName(name);
            if (!col)
                continue;
            const std::string declared = columnText(st.get(), 1);
            if (affinityOf(declared) != affinityOf(column(*col).type))
                return Connection::wrongContent("its column \"" + name + "\" is declared as \"" +
                                                declared + "\"");
            found[static_cast<std::size_t>(*col)] = true;
        }
        if (rc != SQLITE_DONE)
            return c.failure(rc);
        for (int i = 0; i < ColumnCount; ++i)
            if (!found[static_cast<std::size_t>(i)])
                return Connection::wrongContent(std::string("it has no column \"") +
                                                column(static_cast<Col>(i)).storedName + "\"");
        rowid = rowidName(names);
        if (rowid.empty())
            return Connection::wrongContent("its columns hide the row numbers");
    }
    Statement version(c.get(), "PRAGMA user_version");
    if (!version.ok())
        return c.failure(version.rc());
    if (sqlite3_step(version.get()) == SQLITE_ROW &&
        sqlite3_column_int(version.get(), 0) > FormatVersion)
        return Status::failure("written by a newer version of the program",
                               Status::Failure::WrongContent);
    return {};
}

// Binds the row's 25 values to the parameters 1 to 25.
void bindRow(sqlite3_stmt* st, const ReminderRow& row) {
    for (int i = 0; i < ColumnCount; ++i) {
        const Col col = static_cast<Col>(i);
        const int p = i + 1;
        if (row.isNull(col)) {
            sqlite3_bind_null(st, p);
            continue;
        }
        switch (column(col).type) {
        case ColumnType::Int32:
        case ColumnType::Word:
            sqlite3_bind_int64(st, p, row.integer(col));
            break;
        case ColumnType::Real:
            sqlite3_bind_double(st, p, row.real(col));
            break;
        case ColumnType::Text:
            sqlite3_bind_text(st, p, row.text(col).data(), static_cast<int>(row.text(col).size()),
                              SQLITE_STATIC);
            break;
        }
    }
}

std::string insertSql() {
    std::string sql = "INSERT OR ABORT INTO things (" + columnList() + ") VALUES (?1";
    for (int i = 2; i <= ColumnCount; ++i)
        sql += ", ?" + std::to_string(i);
    return sql + ")";
}

// A file its owner may not write is left as it is, also by a program that could write it
// anyway (run by the administrator).
bool isReadOnly(const fs::file_status& status) {
    return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

Status readOnlyFile() {
    return Status::failure("the file is read-only");
}

// Where a file of a missing one is left: SQLite would apply it to a new file of that name.
void removeOrphanedCompanions(const std::string& path) {
    std::error_code ec;
    if (fs::exists(path, ec) || ec)
        return;
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        fs::remove(path + suffix, ec);
}

// New files that a creation killed part-way left beside the file.
void sweepNewFiles(const std::string& path) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string prefix = target.filename().string() + ".new-";
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        if (name.rfind(prefix, 0) == 0 && it->is_regular_file(ignored))
            fs::remove(it->path(), ignored);
    }
}

// --- the side tables -------------------------------------------------------------

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

Affinity affinityOf(SideType type) {
    switch (type) {
    case SideType::Real:
        return Affinity::Real;
    case SideType::Text:
        return Affinity::Text;
    default:
        return Affinity::Integer;
    }
}

std::string sideColumnSql(const SideColumn& c) {
    const std::string q = quoted(c.name);
    const std::string notNull = c.required ? " NOT NULL" : "";
    switch (c.type) {
    case SideType::Integer:
        return q + " INTEGER" + notNull;
    case SideType::Real:
        return q + " REAL" + notNull;
    case SideType::Text:
        return q + " TEXT" + notNull + " CHECK(" + q + " IS NULL OR length(" + q +
               ") <= " + std::to_string(c.maxLength) + ")";
    }
    return q;
}

std::string sideSchemaSql(const SideTable& t) {
    std::string sql = "CREATE TABLE IF NOT EXISTS " + quoted(t.name) + " (\"N\" INTEGER " +
                      (t.onePerReminder ? "PRIMARY KEY" : "NOT NULL") +
                      " CHECK(\"N\" BETWEEN -2147483648 AND 2147483647)";
    for (const SideColumn& c : t.columns)
        sql += ", " + sideColumnSql(c);
    sql += ");";
    // A key needs no index of its own.
    if (!t.onePerReminder)
        sql += "\nCREATE INDEX IF NOT EXISTS " + quoted("i" + t.name + "N") + " ON " +
               quoted(t.name) + " (\"N\");";
    return sql;
}

std::string sideColumnList(const SideTable& t) {
    std::string s = "\"N\"";
    for (const SideColumn& c : t.columns)
        s += ", " + quoted(c.name);
    return s;
}

std::string sideInsertSql(const SideTable& t) {
    std::string sql =
        "INSERT OR ABORT INTO " + quoted(t.name) + " (" + sideColumnList(t) + ") VALUES (?1";
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        sql += ", ?" + std::to_string(i + 2);
    return sql + ")";
}

// What the file holds of a side table: whether it is there, and the name of its rowid.
struct SideTableFound {
    bool exists = false;
    std::string rowid;
};

// Checks a side table as checkSchema() checks "things": when the file has it, an ordinary
// rowid table without generated columns whose "N" and declared columns have the affinity the
// program gives them. A file without it has no rows there yet.
Status checkSideSchema(const Connection& c, const SideTable& t, SideTableFound& found) {
    found = {};
    {
        Statement st(c.get(), "SELECT type, wr FROM pragma_table_list "
                              "WHERE schema = 'main' AND name = ?1 COLLATE NOCASE");
        if (!st.ok())
            return c.failure(st.rc());
        sqlite3_bind_text(st.get(), 1, t.name.data(), static_cast<int>(t.name.size()),
                          SQLITE_STATIC);
        const int rc = sqlite3_step(st.get());
        if (rc == SQLITE_DONE)
            return {};
        if (rc != SQLITE_ROW)
            return c.failure(rc);
        if (columnText(st.get(), 0) != "table" || sqlite3_column_int(st.get(), 1) != 0)
            return Connection::wrongContent(quoted(t.name) + " is not an ordinary table");
    }
    Statement st(c.get(), "SELECT name, type, hidden FROM pragma_table_xinfo(?1)");
    if (!st.ok())
        return c.failure(st.rc());
    sqlite3_bind_text(st.get(), 1, t.name.data(), static_cast<int>(t.name.size()), SQLITE_STATIC);
    std::vector<std::string> names;
    std::vector<bool> present(t.columns.size() + 1, false);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const std::string name = columnText(st.get(), 0);
        const int hidden = sqlite3_column_int(st.get(), 2);
        if (hidden == 2 || hidden == 3)
            return Connection::wrongContent("the column \"" + name + "\" of " + quoted(t.name) +
                                            " is generated");
        names.push_back(name);
        for (std::size_t i = 0; i <= t.columns.size(); ++i) {
            const std::string& wanted = i == 0 ? std::string("N") : t.columns[i - 1].name;
            if (!equalNoCase(name, wanted.c_str()))
                continue;
            const Affinity affinity =
                i == 0 ? Affinity::Integer : affinityOf(t.columns[i - 1].type);
            const std::string declared = columnText(st.get(), 1);
            if (affinityOf(declared) != affinity)
                return Connection::wrongContent("the column \"" + name + "\" of " + quoted(t.name) +
                                                " is declared as \"" + declared + "\"");
            present[i] = true;
        }
    }
    if (rc != SQLITE_DONE)
        return c.failure(rc);
    for (std::size_t i = 0; i < present.size(); ++i)
        if (!present[i])
            return Connection::wrongContent(quoted(t.name) + " has no column \"" +
                                            (i == 0 ? std::string("N") : t.columns[i - 1].name) +
                                            "\"");
    found.rowid = rowidName(names);
    if (found.rowid.empty())
        return Connection::wrongContent("the columns of " + quoted(t.name) +
                                        " hide the row numbers");
    found.exists = true;
    return {};
}

// Reads one value of a side table's row, checked as the reminders' cells are: the reason it
// is refused, or empty.
std::string readSideCell(sqlite3_stmt* st, int i, const SideColumn& def, SideValue& value) {
    const int type = sqlite3_column_type(st, i);
    if (type == SQLITE_NULL) {
        value = std::monostate{};
        return def.required ? "is empty" : std::string();
    }
    switch (def.type) {
    case SideType::Integer:
        if (type != SQLITE_INTEGER)
            return std::string("holds ") + storageClassName(type) + ", not a whole number";
        value = static_cast<std::int64_t>(sqlite3_column_int64(st, i));
        return {};
    case SideType::Real: {
        if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
            return std::string("holds ") + storageClassName(type) + ", not a number";
        const double v = sqlite3_column_double(st, i);
        if (!std::isfinite(v))
            return "holds a number that is not finite";
        value = v;
        return {};
    }
    case SideType::Text: {
        if (type != SQLITE_TEXT)
            return std::string("holds ") + storageClassName(type) + ", not text";
        const auto* p = sqlite3_column_text(st, i);
        const auto n = static_cast<std::size_t>(sqlite3_column_bytes(st, i));
        if (!isUtf8(p, n))
            return "holds text that is not UTF-8";
        std::string text(reinterpret_cast<const char*>(p), n);
        const std::size_t length = utf8Length(text);
        if (length > static_cast<std::size_t>(def.maxLength))
            return "holds a text of " + std::to_string(length) + " characters, more than the " +
                   std::to_string(def.maxLength) + " it can hold";
        value = std::move(text);
        return {};
    }
    }
    return {};
}

Status readSideTable(const Connection& c, const SideTable& t, const std::string& rowid,
                     std::vector<SideRow>& rows) {
    Statement select(c.get(), "SELECT " + sideColumnList(t) + " FROM " + quoted(t.name) +
                                  " ORDER BY " + rowid);
    if (!select.ok())
        return c.failure(select.rc());
    int rc;
    while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
        const std::string where = quoted(t.name) + ", row " + std::to_string(rows.size() + 1);
        SideRow row;
        const int numberType = sqlite3_column_type(select.get(), 0);
        const sqlite3_int64 number = sqlite3_column_int64(select.get(), 0);
        if (numberType != SQLITE_INTEGER || number < std::numeric_limits<std::int32_t>::min() ||
            number > std::numeric_limits<std::int32_t>::max())
            return Connection::wrongContent(where + ", column N: not a reminder number");
        row.number = static_cast<std::int32_t>(number);
        row.values.resize(t.columns.size());
        for (std::size_t i = 0; i < t.columns.size(); ++i) {
            const std::string why =
                readSideCell(select.get(), static_cast<int>(i + 1), t.columns[i], row.values[i]);
            if (!why.empty())
                return Status::failure(where + ", column " + t.columns[i].name + ": " + why,
                                       Status::Failure::WrongContent);
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        return c.failure(rc);
    return {};
}

// Binds the row's number and values to the parameters 1 onwards.
void bindSideRow(sqlite3_stmt* st, const SideRow& row) {
    sqlite3_bind_int64(st, 1, row.number);
    for (std::size_t i = 0; i < row.values.size(); ++i) {
        const int p = static_cast<int>(i + 2);
        const SideValue& v = row.values[i];
        if (const auto* n = std::get_if<std::int64_t>(&v))
            sqlite3_bind_int64(st, p, *n);
        else if (const auto* d = std::get_if<double>(&v))
            sqlite3_bind_double(st, p, *d);
        else if (const auto* text = std::get_if<std::string>(&v))
            sqlite3_bind_text(st, p, text->data(), static_cast<int>(text->size()), SQLITE_STATIC);
        else
            sqlite3_bind_null(st, p);
    }
}

// The rows of side table `index`, none when the list is shorter.
const std::vector<SideRow>& sideRowsOf(const SideRows& side, std::size_t index) {
    static const std::vector<SideRow> none;
    return index < side.size() ? side[index] : none;
}

// Inserts rows into a side table with the statement of sideInsertSql(): the failing result
// code, or SQLITE_OK.
int insertSideRows(Statement& insert, const std::vector<SideRow>& rows,
                   std::optional<std::int32_t> onlyNumber = std::nullopt) {
    for (const SideRow& row : rows) {
        if (onlyNumber && row.number != *onlyNumber)
            continue;
        bindSideRow(insert.get(), row);
        if (!insert.run())
            return insert.rc();
    }
    return SQLITE_OK;
}

} // namespace

Status SqliteReminderStore::load(const std::string& path, std::vector<ReminderRow>& rows,
                                 SideRows& side) {
    rows.clear();
    side.clear();
    sweepNewFiles(linkedFile(path).string());
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return Status::failure("there is no such file", Status::Failure::Missing);
    if (ec)
        return Status::failure(ec.message());
    if (!fs::is_regular_file(status))
        return Status::failure("not a regular file", Status::Failure::WrongContent);
    Connection c(m_timeLimit);
    if (const int rc = c.open(path); rc != SQLITE_OK)
        return c.failure(rc);
    std::string rowid;
    if (Status schema = checkSchema(c, rowid); !schema)
        return schema;
    Statement select(c.get(), "SELECT " + columnList() + " FROM things ORDER BY " + rowid);
    if (!select.ok())
        return c.failure(select.rc());
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
                                       ": " + why,
                                   Status::Failure::WrongContent);
        }
        read.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        return c.failure(rc);
    SideRows readSide(m_sideTables.size());
    for (std::size_t t = 0; t < m_sideTables.size(); ++t) {
        SideTableFound found;
        if (Status checked = checkSideSchema(c, m_sideTables[t], found); !checked)
            return checked;
        if (!found.exists)
            continue;
        if (Status sideRead = readSideTable(c, m_sideTables[t], found.rowid, readSide[t]);
            !sideRead)
            return sideRead;
    }
    rows = std::move(read);
    side = std::move(readSide);
    return {};
}

Status SqliteReminderStore::create(const std::string& path, const std::vector<ReminderRow>& rows,
                                   const SideRows& side) {
    // A link stays a link: the new file is made beside the file it names and replaces that.
    const fs::path target = linkedFile(path);
    const std::string file = target.string();
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string temp =
        (folder / (target.filename().string() + ".new-" + std::to_string(::getpid()))).string();
    std::error_code ec;
    // The folder may have been removed while the program ran.
    if (!makePrivateFolders(folder, ec))
        return Status::failure("unable to create the folder " + folder.string() + ": " +
                               ec.message());
    // A file that is there after all keeps its mode, and a read-only one stays as it is.
    auto mode = PrivateFileMode;
    if (const fs::file_status existing = fs::status(target, ec); fs::is_regular_file(existing)) {
        if (isReadOnly(existing))
            return readOnlyFile();
        mode = existing.permissions() & fs::perms::all;
    }
    removeOrphanedCompanions(file);
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        fs::remove(temp + suffix, ec);

    auto fail = [&](const std::string& why) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return Status::failure(why);
    };
    if (!proceed(SaveStep::Write, temp))
        return fail("the save was stopped before it wrote " + temp);
    {
        // The user's reminders are for the user alone.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return fail(std::strerror(errno));
        // Set after creating: the umask may have taken bits the file needs.
        const bool modeSet = ::fchmod(fd, static_cast<mode_t>(mode)) == 0;
        const int modeError = errno;
        ::close(fd);
        if (!modeSet)
            return fail(std::strerror(modeError));
        Connection c(m_timeLimit);
        if (const int rc = c.open(temp); rc != SQLITE_OK)
            return fail(c.failure(rc).message());
        // The file is new and private until the rename, so it needs no journal.
        int rc = c.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN");
        if (rc == SQLITE_OK)
            rc = c.exec(schemaSql());
        for (const SideTable& t : m_sideTables)
            if (rc == SQLITE_OK)
                rc = c.exec(sideSchemaSql(t));
        if (rc != SQLITE_OK)
            return fail(c.failure(rc).message());
        Statement insert(c.get(), insertSql());
        if (!insert.ok())
            return fail(c.failure(insert.rc()).message());
        for (const ReminderRow& row : rows) {
            bindRow(insert.get(), row);
            if (!insert.run())
                return fail(c.failure(insert.rc()).message());
        }
        for (std::size_t t = 0; t < m_sideTables.size(); ++t) {
            Statement insertSide(c.get(), sideInsertSql(m_sideTables[t]));
            if (!insertSide.ok())
                return fail(c.failure(insertSide.rc()).error);
            if (const int sideRc = insertSideRows(insertSide, sideRowsOf(side, t));
                sideRc != SQLITE_OK)
                return fail(c.failure(sideRc).error);
        }
        if (const int committed = c.exec("COMMIT"); committed != SQLITE_OK)
            return fail(c.failure(committed).message());
    }
    std::string error;
    if (!proceed(SaveStep::Sync, temp))
        return fail("the save was stopped before it synced " + temp);
    if (!syncPath(temp, false, error))
        return fail("unable to sync " + temp + ": " + error);
    if (!proceed(SaveStep::Rename, temp))
        return fail("the save was stopped before it replaced the file");
    if (::rename(temp.c_str(), file.c_str()) != 0)
        return fail(std::strerror(errno));
    if (proceed(SaveStep::SyncFolder, file))
        (void)syncPath(folder.string(), true, error); // best effort: the rename is already visible
    return {};
}

Status SqliteReminderStore::write(const std::string& path, const ReminderChanges& changes) {
    // Asked also with nothing to write: a file gone is made anew from the table.
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return Status::failure("the file no longer exists", Status::Failure::Missing);
    if (changes.empty())
        return {};
    if (!ec && isReadOnly(status))
        return readOnlyFile();
    Connection c(m_timeLimit);
    if (const int rc = c.open(path); rc != SQLITE_OK)
        return c.failure(rc);
    // SQLite opens a file it may not write for reading alone.
    if (sqlite3_db_readonly(c.get(), "main") == 1)
        return readOnlyFile();
    // A file the program would not read is not written either.
    std::string rowid;
    if (Status schema = checkSchema(c, rowid); !schema)
        return schema;
    std::vector<SideTableFound> sideFound(m_sideTables.size());
    for (std::size_t t = 0; t < m_sideTables.size(); ++t)
        if (Status schema = checkSideSchema(c, m_sideTables[t], sideFound[t]); !schema)
            return schema;
    if (const int rc = c.exec("PRAGMA synchronous = FULL; BEGIN IMMEDIATE"); rc != SQLITE_OK)
        return c.failure(rc);

    // The given rows by number, in stored order.
    std::map<std::int32_t, std::vector<const ReminderRow*>> byNumber;
    for (std::int32_t n : changes.numbers)
        byNumber[n];
    for (const ReminderRow& row : changes.rows)
        if (!row.isNull(Col::N))
            if (auto it = byNumber.find(row.integer(Col::N)); it != byNumber.end())
                it->second.push_back(&row);

    std::string update = "UPDATE OR ABORT things SET ";
    for (int i = 0; i < ColumnCount; ++i)
        update += std::string(i ? ", \"" : "\"") + column(static_cast<Col>(i)).storedName +
                  "\" = ?" + std::to_string(i + 1);
    update += " WHERE " + rowid + " = ?" + std::to_string(ColumnCount + 1);
    // OR ABORT: a conflict clause of the file's own (REPLACE) must not remove other rows.
    Statement select(c.get(),
                     "SELECT " + rowid + " FROM things WHERE \"N\" = ?1 ORDER BY " + rowid);
    Statement updateRow(c.get(), update);
    Statement insertRow(c.get(), insertSql());
    Statement deleteRow(c.get(), "DELETE FROM things WHERE " + rowid + " = ?1");
    for (const Statement* st : {&select, &updateRow, &insertRow, &deleteRow})
        if (!st->ok()) {
            c.rollback();
            return c.failure(st->rc());
        }
    auto failed = [&c](int rc) {
        Status status = c.failure(rc);
        c.rollback();
        return status;
    };
    // A side table the file does not have yet comes in the same transaction.
    std::vector<std::unique_ptr<Statement>> sideDelete, sideInsert;
    for (std::size_t t = 0; t < m_sideTables.size(); ++t) {
        const SideTable& table = m_sideTables[t];
        if (!sideFound[t].exists)
            if (const int rc = c.exec(sideSchemaSql(table)); rc != SQLITE_OK)
                return failed(rc);
        sideDelete.push_back(std::make_unique<Statement>(
            c.get(), "DELETE FROM " + quoted(table.name) + " WHERE \"N\" = ?1"));
        sideInsert.push_back(std::make_unique<Statement>(c.get(), sideInsertSql(table)));
        for (const auto& st : {sideDelete.back().get(), sideInsert.back().get()})
            if (!st->ok())
                return failed(st->rc());
    }
    for (const auto& [number, wanted] : byNumber) {
        std::vector<sqlite3_int64> stored;
        sqlite3_bind_int64(select.get(), 1, number);
        int rc;
        while ((rc = sqlite3_step(select.get())) == SQLITE_ROW)
            stored.push_back(sqlite3_column_int64(select.get(), 0));
        sqlite3_reset(select.get());
        if (rc != SQLITE_DONE)
            return failed(rc);
        std::size_t i = 0;
        for (; i < wanted.size() && i < stored.size(); ++i) {
            bindRow(updateRow.get(), *wanted[i]);
            sqlite3_bind_int64(updateRow.get(), ColumnCount + 1, stored[i]);
            if (!updateRow.run())
                return failed(updateRow.rc());
        }
        for (std::size_t k = i; k < stored.size(); ++k) {
            sqlite3_bind_int64(deleteRow.get(), 1, stored[k]);
            if (!deleteRow.run())
                return failed(deleteRow.rc());
        }
        for (std::size_t k = i; k < wanted.size(); ++k) {
            bindRow(insertRow.get(), *wanted[k]);
            if (!insertRow.run())
                return failed(insertRow.rc());
        }
        for (std::size_t t = 0; t < m_sideTables.size(); ++t) {
            sqlite3_bind_int64(sideDelete[t]->get(), 1, number);
            if (!sideDelete[t]->run())
                return failed(sideDelete[t]->rc());
            if (const int sideRc =
                    insertSideRows(*sideInsert[t], sideRowsOf(changes.side, t), number);
                sideRc != SQLITE_OK)
                return failed(sideRc);
        }
    }
    if (!proceed(SaveStep::Commit, path)) {
        c.rollback();
        return Status::failure("the save was stopped before its commit");
    }
    if (const int rc = c.exec("COMMIT"); rc != SQLITE_OK)
        return failed(rc);
    return {};
}

std::unique_ptr<ReminderStore> makeSqliteReminderStore() {
    return std::make_unique<SqliteReminderStore>();
}
