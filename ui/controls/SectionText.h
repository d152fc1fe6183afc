#pragma once
// The windows' side of the language files: a section's lines as Qt strings, applied only
// where the section has them.

#include "i18n/LanguageFile.h"

#include <QString>

#include <optional>
#include <string>

// Calls apply(text) with the line of `section` when the section has it.
template <class Line, class Apply>
void withLine(const LanguageSection<Line>& section, Line line, Apply&& apply) {
    if (const std::optional<std::string> text = section.line(line))
        apply(QString::fromStdString(*text));
}

// Sets the text of `widget` (a label or button) to the line when the section has it.
template <class Line, class Widget>
void setTextFromLine(const LanguageSection<Line>& section, Line line, Widget* widget) {
    withLine(section, line, [widget](const QString& text) { widget->setText(text); });
}
