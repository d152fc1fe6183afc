#pragma once
// The program's look shared by every window: the scheme colour that replaces the
// system's window colour on the newer desktops, the list's highlight colours and the
// fonts.

#include <QColor>
#include <QFont>

class QObject;
class QWidget;

class ColorScheme final {
public:
    // The windows' designed type size (Tahoma 8 points at 96 dpi).
    static constexpr int DefaultPixelSize = 11;

    // Whether windows take the scheme colour: on the newer desktops (isNewerDesktop,
    // asked once per run). Every Linux desktop counts as a newer one.
    static bool inUse();
    // The scheme colour of windows, tool bars, group boxes, status bars, the program's
    // buttons and the list's title row: a light warm grey.
    static QColor schemeColor() { return {209, 208, 203}; }
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

    // Gives one control the scheme colour by its kind: a window (its background and
    // the faces of its buttons), a tool bar, a group box, a status bar, a splitter, a
    // ColorButton's face, a table's title row. Anything else is left as it is.
    static void recolorControl(QWidget* control);
    // Walks everything `owner` holds, however deeply nested, and recolours the windows,
    // tool bars, group boxes, status bars, ColorButtons and title rows among them.
    // Panels and splitters keep their colours.
    static void recolorOwned(QObject* owner);
    // On the newer desktops, gives `window` and everything in it the scheme colour
    // (recolorControl on the window, then recolorOwned); otherwise does nothing.
    static void applyColorScheme(QWidget* window);
    // Fills `widget`'s background with `colour` (a panel that keeps its own colour, or
    // one that takes the scheme colour).
    static void fill(QWidget* widget, const QColor& colour);
};
