#include "ui/controls/WindowPlacer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

WindowPlacer::WindowPlacer(QWidget* window) : QObject(window), m_window(window) {
    m_window->installEventFilter(this);
}

namespace {

// The placement within the available area of the screen holding its top-left corner (else
// the primary screen): a settings file may hold any numbers, and a window of 30000×30000
// pixels takes gigabytes of memory.
WindowPlacement withinScreen(WindowPlacement pos) {
    const QScreen* screen = QGuiApplication::screenAt(QPoint(pos.left, pos.top));
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return pos;
    const QRect area = screen->availableGeometry();
    pos.width = std::min(pos.width, area.width());
    pos.height = std::min(pos.height, area.height());
    // In 64 bits: a stored corner near the ends of int plus the size would overflow.
    const auto place = [](qint64 at, qint64 size, qint64 first, qint64 length) {
        return static_cast<int>(std::clamp(at, first, first + length - std::max<qint64>(size, 0)));
    };
    pos.left = place(pos.left, pos.width, area.left(), area.width());
    pos.top = place(pos.top, pos.height, area.top(), area.height());
    return pos;
}

} // namespace

void WindowPlacer::apply(const WindowPlacement& stored) {
    const WindowPlacement pos = withinScreen(stored);
    m_window->move(pos.left, pos.top);
    if (pos.width > 0 && pos.height > 0) {
        m_outerSize = QSize(pos.width, pos.height);
        m_window->resize(m_outerSize); // the minimum size still bounds it
        applyOuterSize();
    }
    switch (pos.state) {
    case WindowStateCode::Maximized:
        m_window->setWindowState(Qt::WindowMaximized);
        break;
    case WindowStateCode::Minimized:
        m_window->setWindowState(Qt::WindowMinimized);
        break;
    case WindowStateCode::Normal:
        m_window->setWindowState(Qt::WindowNoState);
        break;
    }
}

WindowPlacement WindowPlacer::placement() const {
    WindowPlacement pos;
    pos.state = m_window->isMaximized()   ? WindowStateCode::Maximized
                : m_window->isMinimized() ? WindowStateCode::Minimized
                                          : WindowStateCode::Normal;
    const QRect frame = m_window->frameGeometry();
    pos.left = frame.left();
    pos.top = frame.top();
    // Never framed in this run: the outer size read at start is still the one wanted.
    const QSize outer = m_outerSize.isValid() ? m_outerSize : frame.size();
    pos.width = outer.width();
    pos.height = outer.height();
    return pos;
}

void WindowPlacer::applyOuterSize() {
    const QWindow* handle = m_window->windowHandle();
    if (!m_outerSize.isValid() || handle == nullptr || handle->windowState() != Qt::WindowNoState)
        return;
    const QMargins frame = handle->frameMargins();
    if (frame.isNull())
        return;
    m_window->resize(m_outerSize.shrunkBy(frame));
    m_outerSize = QSize();
}

void WindowPlacer::watchHandle() {
    // A window manager frames the window only once it is mapped, and a window shown
    // minimized or maximized gets its normal size only when restored: watch for both.
    if (QWindow* handle = m_window->windowHandle(); handle && m_outerSize.isValid()) {
        handle->installEventFilter(this);
        connect(handle, &QWindow::windowStateChanged, this, &WindowPlacer::applyOuterSize,
                Qt::UniqueConnection);
    }
}

bool WindowPlacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Show) {
        watchHandle();
        applyOuterSize();
    } else if (watched == m_window->windowHandle() && event->type() == QEvent::Expose) {
        applyOuterSize();
    }
    return QObject::eventFilter(watched, event);
}
