#pragma once
// Keeps a top-level window inside the available area of its screen (the screen less its
// panels and docks), frame included, so that no part of it is out of reach. The window
// decides how to use the room it gets: wrap, scroll or shrink.

#include <QMargins>
#include <QObject>
#include <QSize>

#include <functional>

class QWidget;

class ScreenBound final : public QObject {
    Q_OBJECT

public:
    // Gets the largest client size the window may take and sizes the window within it.
    using Fit = std::function<void(QSize room)>;

    // A child of `window`, watching it: `fit` runs again when the window is shown, when
    // its frame becomes known (a window manager frames a window only once it is mapped)
    // and when it moves to another screen.
    ScreenBound(QWidget* window, Fit fit);

    // Runs `fit` with the room there is now.
    void refit();

    // The largest client size that, with the window's frame, fits in the available
    // area of the window's screen. Before the window is framed, the frame of another
    // framed window of the program is the best guess.
    static QSize room(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchHandle();

    QWidget* m_window;
    Fit m_fit;
    // The room the last fit was given; the same room again needs no new fit.
    QSize m_lastRoom;
};
