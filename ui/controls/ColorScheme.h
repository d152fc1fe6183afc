#pragma once
// The program's look shared by every window: the scheme colour, the list's highlight
// colours and the fonts.

#include <QColor>
#include <QFont>

class QWidget;

class ColorScheme final {
public:
    // The windows' designed type size (Tahoma 8 points at 96 dpi).
    static constexpr int DefaultPixelSize = 11;

    // Whether windows take the scheme colour, as they do on the newer desktops. Every
    // Linux desktop counts as a newer one.
    static bool inUse();
    // The scheme colour of windows, tool bars, panels and buttons: a light warm grey.
    static QColor color() { return {209, 208, 203}; }
    // The reminder list's highlighted row: navy with white text.
    static QColor highlightColor() { return {0, 0, 128}; }
    static QColor highlightedTextColor() { return Qt::white; }

    // How much larger than the desktop's font the application font is: 1 unless the
    // user (or a test) enlarged the application font.
    static qreal fontScale();
    // The designed pixel size, scaled by fontScale(), in Tahoma where it is installed,
    // else in the desktop's sans-serif family, so that texts keep their designed
    // proportions everywhere and grow with a larger application font.
    static QFont font(int pixelSize = DefaultPixelSize);

    // Gives `window` the scheme colour: its background and the faces of its buttons.
    // Does nothing when the scheme is not in use.
    static void applyTo(QWidget* window);
    // Fills `widget`'s background with `colour` (a panel that keeps its own colour, or
    // one that takes the scheme colour).
    static void fill(QWidget* widget, const QColor& colour);
};
