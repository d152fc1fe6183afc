#include "ui/dialogs/DialogsCommon.h"

#include <QFontMetrics>
#include <QString>
#include <QWidget>
#include <QWindow>
#include <cmath>

QMargins knownFrameMargins(QWidget* window) {
    window->winId(); // creates the platform window, which knows its frame if anyone does
    if (const QWindow* own = window->windowHandle(); own && !own->frameMargins().isNull())
        return own->frameMargins();
    // An X11 window manager frames a window only once it is mapped; the owner's frame,
    // drawn by the same manager, is the best guess until then.
    if (const QWidget* owner = window->parentWidget())
        if (const QWindow* handle = owner->window()->windowHandle())
            return handle->frameMargins();
    return {};
}

int centredLeft(int outer, int inner) {
    // The default floating-point rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint((outer - inner) * 0.5));
}

QSize labelTextSize(const QString& text, const QFontMetrics& fm) {
    return fm.size(0, text);
}
