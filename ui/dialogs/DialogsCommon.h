#pragma once
// What the two dialogs share: window flags, font and the frame the window will get.

#include <QFont>
#include <QMargins>
#include <Qt>

class QWidget;

// A fixed dialog frame with only the close box in the title bar.
inline constexpr Qt::WindowFlags DialogWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

QFont DialogFont();

// The frame the platform will put around `window`, as far as it is known before the
// window is shown: its own, else its owner's, else none.
QMargins KnownFrameMargins(QWidget* window);
