#pragma once
// A language file: plain text with one section per window, each a fixed sequence of
// lines after a marker line such as "[Main]", closed by "[EndMain]" somewhere in the
// file. A line's meaning is its position after the marker; every line is one text,
// taken as it stands. Also holds the program-wide choice of the file in use.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lines after a section's marker, to the end of the file (the end marker does not
// limit them). Line 1 is the first line after the marker.
class LanguageSection final {
public:
    explicit LanguageSection(std::vector<std::string> lines) : m_lines(std::move(lines)) {}

    // Line k (1-based) as UTF-8; none past the end of the file, so that a short
    // section leaves the remaining texts as they were.
    std::optional<std::string> line(std::size_t k) const;
    // Assigns line k to `target` when the section has it.
    void assign(std::size_t k, std::string& target) const;

private:
    std::vector<std::string> m_lines;
};

class LanguageFile final {
public:
    // Reads the file whole. A missing or unreadable file, and anything but a regular file
    // of at most 1 MB (a pipe, a device, a folder), reads as an empty one, which has no
    // sections: it changes nothing and is not an error. Never blocks on what it opens.
    static LanguageFile read(const std::string& path);
    // As read, but the file is read again only when its size or modification time has
    // changed since the last call; otherwise the texts read then. GUI thread only.
    static const LanguageFile& cached(const std::string& path);
    // The file's bytes: a byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE; without
    // one the text is UTF-8, or, when its bytes are not valid UTF-8, the system's 8-bit
    // code page (Windows-1251 outside Windows). Lines end with CR LF, LF or CR.
    static LanguageFile fromBytes(std::string_view bytes);

    // The section whose start marker is "[name]", found as a whole line regardless of
    // case (the first such line counts); none unless "[Endname]" stands somewhere in
    // the file too.
    std::optional<LanguageSection> section(std::string_view name) const;

    // Every line of the file as UTF-8.
    const std::vector<std::string>& lines() const { return m_lines; }

    // The file the windows opened from now on take their texts from; empty for the
    // built-in texts. Program-wide, GUI thread only.
    static const std::string& current();
    static void setCurrent(std::string path);

private:
    std::vector<std::string> m_lines;
};
