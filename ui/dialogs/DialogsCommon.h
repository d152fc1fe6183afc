#pragma once
// What the two dialogs share: window flags, the frame the window will get and the
// arithmetic that sizes them to their text.

#include <QMargins>
#include <QSize>
#include <Qt>

class QFontMetrics;
class QString;
class QWidget;

// A fixed dialog frame with only the close box in the title bar.
inline constexpr Qt::WindowFlags DialogWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// The frame the platform will put around `window`, as far as it is known before the
// window is shown: its own, else its owner's, else none.
QMargins knownFrameMargins(QWidget* window);

// (outer − inner) × 0.5 rounded to the nearest integer, halves to the even neighbour.
int centredLeft(int outer, int inner);

// The size a label without word wrap takes for `text`; a line break starts a new line.
QSize labelTextSize(const QString& text, const QFontMetrics& fm);
