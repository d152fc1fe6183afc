#include "i18n/LanguageFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>

#ifdef _WIN32
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

constexpr char32_t Replacement = 0xFFFD;

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, u >= 0xD800 && u < 0xE000 ? Replacement : u);
    }
    return out;
}

// The length of the well-formed UTF-8 sequence that starts at s[i] (no overlong form, no
// surrogate, nothing above U+10FFFF), or 0 when none does.
std::size_t utf8SequenceAt(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return 1;
    // The lead byte tells how many continuation bytes follow and the smallest code point
    // that needs that many.
    std::size_t extra = 0;
    char32_t min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        min = 0x10000;
    } else {
        return 0;
    }
    char32_t cp = c & (0x3F >> extra);
    if (i + extra >= s.size())
        return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
        return 0;
    return extra + 1;
}

bool isUtf8(std::string_view s) {
    for (std::size_t i = 0, n = 0; i < s.size(); i += n)
        if ((n = utf8SequenceAt(s, i)) == 0)
            return false;
    return true;
}

// The text with each byte that starts no well-formed sequence replaced by U+FFFD, so that
// a file marked as UTF-8 gives well-formed text whatever it holds.
std::string wellFormedUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (const std::size_t n = utf8SequenceAt(s, i); n > 0) {
            out.append(s.substr(i, n));
            i += n;
        } else {
            appendUtf8(out, Replacement);
            ++i;
        }
    }
    return out;
}

#ifdef _WIN32
// The system's 8-bit code page, as the desktop's other programs read such files.
std::string eightBitToUtf8(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), n);
    const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(m), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
    return out;
}
#else
// Windows-1251, the code page Russian language files without a byte-order mark were
// written in. 0xC0 to 0xFF are А to я in order; 0x98 is unassigned.
constexpr std::array<char16_t, 64> Cp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

std::string eightBitToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        if (c < 0x80)
            out += b;
        else if (c < 0xC0)
            appendUtf8(out, Cp1251High[c - 0x80]);
        else
            appendUtf8(out, 0x0410 + (c - 0xC0));
    }
    return out;
}
#endif

std::string toUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return wellFormedUtf8(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE"))
        return utf16ToUtf8(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return utf16ToUtf8(bytes.substr(2), true);
    return isUtf8(bytes) ? std::string(bytes) : eightBitToUtf8(bytes);
}

// CR LF, LF and CR each end a line; text after the last line end is one more line.
std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

// What tells one version of a file from another without reading it.
struct FileStamp {
    long long size = -1;
    long long modifiedSeconds = 0;
    long long modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// Larger files are no language file: one holds a few hundred short lines.
constexpr long long MaxFileSize = 1024 * 1024;

#ifdef _WIN32
std::wstring widePath(const std::string& path) {
    // The path is UTF-8; the C library's narrow names are in the 8-bit code page.
    const int size = static_cast<int>(path.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), size, wide.data(), n);
    return wide;
}

std::optional<FileStamp> regularFileStamp(const std::string& path) {
    struct _stat64 info {};
    if (_wstat64(widePath(path).c_str(), &info) != 0 || (info.st_mode & _S_IFREG) == 0)
        return std::nullopt;
    return FileStamp{info.st_size, info.st_mtime, 0};
}

// The file's bytes when it is a regular file of at most MaxFileSize bytes.
std::optional<std::string> readRegularFile(const std::string& path, FileStamp* stamp) {
    const std::optional<FileStamp> found = regularFileStamp(path);
    if (!found || found->size > MaxFileSize)
        return std::nullopt;
    std::FILE* in = _wfopen(widePath(path).c_str(), L"rb");
    if (in == nullptr)
        return std::nullopt;
    std::string bytes;
    char buffer[8192];
    std::size_t n = 0;
    while (bytes.size() <= MaxFileSize && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.append(buffer, n);
    const bool failed = std::ferror(in) != 0 || bytes.size() > MaxFileSize;
    std::fclose(in);
    if (failed)
        return std::nullopt;
    *stamp = *found;
    return bytes;
}
#else
FileStamp stampOf(const struct stat& info) {
    return {static_cast<long long>(info.st_size), static_cast<long long>(info.st_mtim.tv_sec),
            static_cast<long long>(info.st_mtim.tv_nsec)};
}

std::optional<FileStamp> regularFileStamp(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return stampOf(info);
}

// The file's bytes when it is a regular file of at most MaxFileSize bytes. Opened without
// blocking, so that a named pipe or a device put in its place cannot hang the program, and
// checked on the open descriptor, so that nothing can be swapped in between.
std::optional<std::string> readRegularFile(const std::string& path, FileStamp* stamp) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= MaxFileSize) {
        bytes.emplace();
        char buffer[8192];
        ssize_t n = 0;
        while (bytes->size() <= MaxFileSize && (n = ::read(fd, buffer, sizeof buffer)) > 0)
            bytes->append(buffer, static_cast<std::size_t>(n));
        if (n < 0 || bytes->size() > MaxFileSize)
            bytes.reset();
        else
            *stamp = stampOf(info);
    }
    ::close(fd);
    return bytes;
}
#endif

} // namespace

LanguageFile LanguageFile::read(const std::string& path) {
    if (path.empty())
        return {};
    FileStamp stamp;
    const std::optional<std::string> bytes = readRegularFile(path, &stamp);
    return bytes ? fromBytes(*bytes) : LanguageFile();
}

const LanguageFile& LanguageFile::cached(const std::string& path) {
    // One file is in use at a time: keep only the last one read.
    static std::string cachedPath;
    static FileStamp cachedStamp;
    static LanguageFile cachedFile;
    const std::optional<FileStamp> now = path.empty() ? std::nullopt : regularFileStamp(path);
    if (now && path == cachedPath && *now == cachedStamp)
        return cachedFile;
    cachedPath = path;
    cachedStamp = FileStamp();
    cachedFile = LanguageFile();
    if (!now)
        return cachedFile;
    if (const std::optional<std::string> bytes = readRegularFile(path, &cachedStamp))
        cachedFile = fromBytes(*bytes);
    return cachedFile;
}

LanguageFile LanguageFile::fromBytes(std::string_view bytes) {
    LanguageFile file;
    file.m_lines = splitLines(toUtf8(bytes));
    return file;
}

std::optional<std::vector<std::string>> LanguageFile::sectionLines(std::string_view name) const {
    const std::string start = "[" + std::string(name) + "]";
    const std::string end = "[End" + std::string(name) + "]";
    const auto marker = [this](const std::string& m) {
        return std::ranges::find_if(m_lines,
                                    [&](const std::string& l) { return sameIgnoringCase(l, m); });
    };
    const auto first = marker(start);
    if (first == m_lines.end() || marker(end) == m_lines.end())
        return std::nullopt;
    return std::vector<std::string>(std::next(first), m_lines.end());
}
