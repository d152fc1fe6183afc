#pragma once
// Puts a top-level window where the settings file says and tells where it is. The stored
// size is the outer one (frame included), and the frame is known only once the window
// manager has framed the window, so the size is given then.

#include "desktop/ProgramSettings.h"

#include <QObject>
#include <QSize>

class QWidget;

class WindowPlacer final : public QObject {
    Q_OBJECT
public:
    // A child of `window`, watching it.
    explicit WindowPlacer(QWidget* window);

    // Position, outer size and state as the settings file keeps them, brought within the
    // available area of the screen holding the stored corner (else the primary screen). A
    // size of 0 keeps the window's own.
    void apply(const WindowPlacement& placement);
    WindowPlacement placement() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Gives the window the outer size read from the settings once its frame is known.
    void applyOuterSize();
    void watchHandle();

    QWidget* m_window;
    // The outer size from the settings, until the window has been framed.
    QSize m_outerSize;
};
