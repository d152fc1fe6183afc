#include "desktop/IniFile.h"

#include "core/PrivateFiles.h"
#include "desktop/PathText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

#ifdef Q_OS_WIN
constexpr bool NativeCrlf = true;
#else
constexpr bool NativeCrlf = false;
#endif

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The whole file read by its bytes path (a Qt file name cannot hold bytes that are not
// UTF-8). A missing file gives an empty result and true.
bool readWholeFile(const std::string& path, QByteArray& bytes, QString& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        why = systemError(errno);
        return false;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            why = systemError(errno);
            ::close(fd);
            return false;
        }
        bytes.append(buffer, n);
    }
    ::close(fd);
    return true;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        left -= n;
    }
    return true;
}

// Replaces the file whole: a new file beside it, synced and renamed over it, so that a
// failure at any point leaves the old one. A link's target is replaced, so the link stays;
// the file keeps its mode, and a new one gets what the umask leaves of 0666.
bool replaceWholeFile(const std::string& path, const QByteArray& bytes, QString& why) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // A link's file is written, beside it, so the link stays; its folder may have been
    // removed while the program ran.
    const fs::path target = linkedFile(path);
    const std::string targetPath = target.string();
    if (!makePrivateFolders(target.parent_path().empty() ? "." : target.parent_path(), ec)) {
        why =
            QStringLiteral("unable to create the folder %1: %2")
                .arg(pathText(target.parent_path().string()), QString::fromStdString(ec.message()));
        return false;
    }
    struct stat existing {};
    const bool exists = ::stat(targetPath.c_str(), &existing) == 0;

    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = targetPath + ".new-" + std::to_string(::getpid()) + '-' + std::to_string(attempt);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            why = systemError(errno);
            return false;
        }
    }
    if (fd < 0) {
        why = systemError(EEXIST);
        return false;
    }
    // A new file is the user's alone, whatever the umask; one that is there keeps its mode.
    const mode_t mode = exists ? existing.st_mode & 07777 : S_IRUSR | S_IWUSR;
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.c_str(), targetPath.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        why = systemError(error);
        return false;
    }
    // Best effort: the rename is already visible.
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// The section name of a header line "[Name]", or a null string for other lines.
QString headerName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return {};
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return {};
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QString& trimmed) {
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

// Splits a key line at its first '='; false for blank, comment and other lines.
bool splitKeyLine(const QString& line, QString* key, qsizetype* eq) {
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t) || t.startsWith(u'['))
        return false;
    const qsizetype at = line.indexOf(u'=');
    if (at < 0)
        return false;
    *key = line.left(at).trimmed();
    *eq = at;
    return true;
}

QString unquote(const QString& raw) {
    QString v = raw.trimmed();
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"'))
        v = v.mid(1, v.size() - 2);
    return v;
}

QString encodeValue(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    const bool blankEnds = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool quoted = value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"');
    if (blankEnds || quoted)
        return u'"' + value + u'"';
    return value;
}

bool allDigits(QStringView s, int base) {
    if (s.isEmpty())
        return false;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        const bool dec = u >= u'0' && u <= u'9';
        const bool hex = (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!(dec || (base == 16 && hex)))
            return false;
    }
    return true;
}

} // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)), crlf_(NativeCrlf) {
}

bool IniFile::load() {
    lines_.clear();
    raw_.clear();
    bom_ = false;
    crlf_ = NativeCrlf;
    unreadable_ = false;
    loadError_.clear();

    QByteArray bytes;
    if (!readWholeFile(path_, bytes, loadError_)) {
        unreadable_ = true;
        return false;
    }
    // UTF-16 text or binary data: read as UTF-8 it would be garbage, and written back it
    // would be lost.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || bytes.contains('\0')) {
        unreadable_ = true;
        loadError_ = QStringLiteral("it is not UTF-8 text");
        return false;
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bom_ = true;
        bytes.remove(0, 3);
    }
    const qsizetype firstEnd = bytes.indexOf('\n');
    if (firstEnd >= 0)
        crlf_ = firstEnd > 0 && bytes.at(firstEnd - 1) == '\r';

    // A carriage return alone ends a line too: a value never holds one, as none is written.
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        qsizetype next = end;
        if (next < bytes.size())
            next += bytes.at(next) == '\r' && next + 1 < bytes.size() && bytes.at(next + 1) == '\n'
                        ? 2
                        : 1;
        const QByteArray content = bytes.mid(start, end - start);
        lines_.append(QString::fromUtf8(content));
        // Kept as read, line end included, so that a line the program does not change is
        // written back exactly, even where it is not valid UTF-8.
        raw_.append(bytes.mid(start, next - start));
        start = next;
    }
    return true;
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < lines_.size(); ++i) {
        const QString name = headerName(lines_.at(i));
        if (!name.isNull() && sameName(name, section.trimmed()))
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const {
    int i = sectionLine + 1;
    while (i < lines_.size() && headerName(lines_.at(i)).isNull())
        ++i;
    return i;
}

int IniFile::findKey(int sectionLine, const QString& key) const {
    const int end = sectionEnd(sectionLine);
    const QString wanted = key.trimmed();
    for (int i = sectionLine + 1; i < end; ++i) {
        QString name;
        qsizetype eq = 0;
        if (splitKeyLine(lines_.at(i), &name, &eq) && sameName(name, wanted))
            return i;
    }
    return -1;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    const int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const int s = findSection(section);
    if (s < 0)
        return def;
    const int k = findKey(s, key);
    if (k < 0)
        return def;
    const QString& line = lines_.at(k);
    return unquote(line.mid(line.indexOf(u'=') + 1));
}

bool IniFile::parseInteger(const QString& text, int* value) {
    const QString t = text.trimmed();
    QStringView digits;
    int base = 10;
    if (t.startsWith(u'$')) {
        digits = QStringView(t).mid(1);
        base = 16;
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        digits = QStringView(t).mid(2);
        base = 16;
    } else {
        digits = QStringView(t);
        if (t.startsWith(u'+') || t.startsWith(u'-'))
            digits = digits.mid(1);
    }
    if (!allDigits(digits, base))
        return false;
    bool ok = false;
    if (base == 16) {
        const qulonglong u = digits.toULongLong(&ok, 16);
        if (!ok || u > std::numeric_limits<quint32>::max())
            return false;
        *value = static_cast<int>(static_cast<quint32>(u));
        return true;
    }
    const qlonglong n = t.toLongLong(&ok, 10);
    if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return false;
    *value = static_cast<int>(n);
    return true;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    int value = def;
    if (!parseInteger(readString(section, key, QString()), &value))
        return def;
    return value;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QString v = encodeValue(value);
    const int s = findSection(section);
    if (s < 0) {
        lines_.append(u'[' + section.trimmed() + u']');
        lines_.append(key.trimmed() + u'=' + v);
        raw_.resize(lines_.size());
        return;
    }
    const int k = findKey(s, key);
    if (k >= 0) {
        // Keep the key as spelled in the file and the blanks after '='.
        QString& line = lines_[k];
        qsizetype start = line.indexOf(u'=') + 1;
        while (start < line.size() && line.at(start).isSpace())
            ++start;
        line = line.left(start) + v;
        raw_[k] = QByteArray();
        return;
    }
    // After the last non-blank line of the section, before any blank separators.
    int at = sectionEnd(s);
    while (at > s + 1 && lines_.at(at - 1).trimmed().isEmpty())
        --at;
    lines_.insert(at, key.trimmed() + u'=' + v);
    raw_.insert(at, QByteArray());
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray IniFile::bytes() const {
    const QByteArray eol = crlf_ ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    QByteArray out = bom_ ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QByteArray& raw = raw_.at(i);
        if (raw.isNull()) {
            out += lines_.at(i).toUtf8() + eol;
        } else {
            out += raw;
            if (!raw.endsWith('\n') && !raw.endsWith('\r'))
                out += eol; // the last line, read without an end
        }
    }
    return out;
}

Status IniFile::save() const {
    auto fail = [this](const QString& why) {
        Status failed = Status::failure("Unable to write to " + path_);
        failed.reason = why.toStdString();
        return failed;
    };
    if (unreadable_)
        return fail(QStringLiteral("the file could not be read: ") + loadError_);

    QString why;
    if (!replaceWholeFile(path_, bytes(), why))
        return fail(why);
    return {};
}
