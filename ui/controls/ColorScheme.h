#pragma once
// The program's look shared by every window: its fonts.

#include <QFont>

class ColorScheme final {
public:
    // The windows' designed type size (8 points at 96 dpi).
    static constexpr int DefaultPixelSize = 11;

    // The designed pixel size in Tahoma where it is installed, else in the desktop's
    // sans-serif family, so that texts keep their designed proportions everywhere.
    static QFont font(int pixelSize = DefaultPixelSize);
};
