#include "ui/dialogs/DialogsCommon.h"
#include "ui/controls/ColorScheme.h"

#include <QWidget>
#include <QWindow>

QFont DialogFont() {
    return ColorScheme::font();
}

QMargins KnownFrameMargins(QWidget* window) {
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
