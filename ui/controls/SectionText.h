#pragma once
// The windows' side of the language files: the section of the file in use, and its
// lines as Qt strings, applied only where the section has them.

#include "i18n/LanguageFile.h"

#include <QString>

#include <optional>
#include <string_view>

// Section `name` of the language file in use; none without one.
inline std::optional<LanguageSection> sectionInUse(std::string_view name) {
    return LanguageFile::cached(LanguageFile::current()).section(name);
}

// Calls apply(text) with line k of `section` when the section has it.
template <class Apply> void withLine(const LanguageSection& section, std::size_t k, Apply&& apply) {
    if (const std::optional<std::string> text = section.line(k))
        apply(QString::fromStdString(*text));
}

// Sets the text of `widget` (a label or button) to line k when the section has it.
template <class Widget>
void setTextFromLine(const LanguageSection& section, std::size_t k, Widget* widget) {
    withLine(section, k, [widget](const QString& text) { widget->setText(text); });
}
