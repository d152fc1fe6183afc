#pragma once
// What the language file reader must do with any content: every line it gives is valid UTF-8
// without a line end, the same lines written as UTF-8 with a byte-order mark read back as
// they were, and the texts of the main window and the editor take their sections without
// harm. Shared by the fuzz target and the tests of its findings.

#include "i18n/LanguageFile.h"
#include "i18n/Texts.h"

#include <cstddef>
#include <string>
#include <string_view>

// Strictly valid UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
inline bool isStrictUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        char32_t c = 0;
        char32_t least = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if ((b & 0xE0) == 0xC0) {
            n = 1, c = b & 0x1F, least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            n = 2, c = b & 0x0F, least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            n = 3, c = b & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (i + n >= s.size())
            return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (t & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

// Checks the file at path; what broke, or empty.
inline std::string languageFileRoundTripFailure(const std::string& path) {
    const LanguageFile file = LanguageFile::read(path);
    std::string again = "\xEF\xBB\xBF";
    for (const std::string& line : file.lines()) {
        if (!isStrictUtf8(line))
            return "a line is not valid UTF-8";
        if (line.find_first_of("\r\n") != std::string::npos)
            return "a line holds a line end";
        again += line + "\n";
    }
    if (LanguageFile::fromBytes(again).lines() != file.lines())
        return "the lines written as UTF-8 read back as other lines";
    Texts texts;
    if (const auto main = file.section<MainLine>())
        texts.loadMain(*main);
    if (const auto editor = file.section<EditorLine>())
        texts.loadEditor(*editor);
    return {};
}
