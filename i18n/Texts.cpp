#include "i18n/Texts.h"

void Texts::setLanguageFile(const std::string& path) {
    // Cut at a character boundary so that a UTF-8 path never ends in half a character.
    std::size_t chars = 0, i = 0;
    while (i < path.size() && chars < maxLanguageFilePath) {
        const auto c = static_cast<unsigned char>(path[i]);
        i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        ++chars;
    }
    m_languageFile = path.substr(0, i);
}
