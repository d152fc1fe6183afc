#pragma once
// What a window cuts off: the layout check of the widget tests, for any window.

#include <QStringList>
#include <ostream>

class QWidget;

// The visible labels and buttons of `window` that do not get the room they ask for:
// smaller than their size hint (a word-wrapped label: narrower than its longest word
// or lower than its text needs at its width), or reaching beyond their parent. One
// line per widget, naming it and both sizes; empty when nothing is clipped. Layout
// requests still pending are carried out first.
QStringList clippedWidgets(QWidget* window);

// Shows Qt strings as text in test failures (GoogleTest finds it by its argument).
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
