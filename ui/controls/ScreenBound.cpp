#include "ui/controls/ScreenBound.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace {

QMargins frameOf(const QWidget* window) {
    if (const QWindow* own = window->windowHandle(); own && !own->frameMargins().isNull())
        return own->frameMargins();
    // The same window manager frames every window of the program alike.
    for (const QWindow* other : QGuiApplication::topLevelWindows())
        if (other->isVisible() && !other->frameMargins().isNull())
            return other->frameMargins();
    return {};
}

} // namespace

ScreenBound::ScreenBound(QWidget* window, Fit fit)
    : QObject(window), m_window(window), m_fit(std::move(fit)) {
    m_window->installEventFilter(this);
}

QSize ScreenBound::room(const QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    return screen->availableGeometry().size().shrunkBy(frameOf(window));
}

void ScreenBound::refit() {
    m_lastRoom = room(m_window);
    m_fit(m_lastRoom);
}

void ScreenBound::watchHandle() {
    QWindow* handle = m_window->windowHandle();
    if (handle == nullptr)
        return;
    handle->installEventFilter(this);
    connect(handle, &QWindow::screenChanged, this, &ScreenBound::refit, Qt::UniqueConnection);
}

bool ScreenBound::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Show) {
        watchHandle();
        refit();
    } else if (watched == m_window->windowHandle() && event->type() == QEvent::Expose &&
               room(m_window) != m_lastRoom) {
        // The frame is known now, or differs from the guess.
        refit();
    }
    return QObject::eventFilter(watched, event);
}
