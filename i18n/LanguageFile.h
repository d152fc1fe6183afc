#pragma once
// A language file: plain text with one section per window, each a fixed sequence of
// lines after a marker line such as "[Main]", closed by "[EndMain]" somewhere in the
// file. A line's meaning is its position after the marker; every line is one text,
// taken as it stands.

#include "i18n/LanguageLines.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lines after a section's marker, to the end of the file (the end marker does not
// limit them), named by the section's enum (LanguageLines.h). An empty section has no
// lines: it leaves every text as it was.
template <class Line> class LanguageSection final {
public:
    LanguageSection() = default;
    explicit LanguageSection(std::vector<std::string> lines) : m_lines(std::move(lines)) {}

    // The line as UTF-8; none past the end of the file, so that a short section leaves
    // the remaining texts as they were.
    std::optional<std::string> line(Line k) const {
        const auto i = static_cast<std::size_t>(k);
        if (i == 0 || i > m_lines.size())
            return std::nullopt;
        return m_lines[i - 1];
    }
    // Assigns the line to `target` when the section has it.
    void assign(Line k, std::string& target) const {
        if (std::optional<std::string> text = line(k))
            target = std::move(*text);
    }

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

    // The section of the enum Line, whose start marker is "[name]" (name =
    // sectionMarker(Line)), found as a whole line regardless of case (the first such line
    // counts); none unless "[Endname]" stands somewhere in the file too.
    template <class Line> std::optional<LanguageSection<Line>> section() const {
        if (std::optional<std::vector<std::string>> lines = sectionLines(sectionMarker(Line{})))
            return LanguageSection<Line>(std::move(*lines));
        return std::nullopt;
    }

    // Every line of the file as UTF-8.
    const std::vector<std::string>& lines() const { return m_lines; }

private:
    // The lines after the marker "[name]", when the file has the section.
    std::optional<std::vector<std::string>> sectionLines(std::string_view name) const;

    std::vector<std::string> m_lines;
};
