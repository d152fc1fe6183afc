#pragma once
// The fourteen 16 x 16 cell pictures of the reminder list, a normal and an
// inverted one (light, for the highlighted row) per alert kind, drawn in code at
// the screen's pixel ratio with a transparent background.

#include <QPixmap>
#include <array>
#include <cstddef>

// What a picture cell shows; each picture has a normal and a light form.
enum class CellPicture { Schedule, Alert, Hint, Sound, Flash, OpenFile, Power };
constexpr int CellPictureCount = 7;

constexpr int CellImageSize = 16;

// One picture, light for the highlighted row; a null pixmap when it could not be made.
QPixmap drawCellPicture(CellPicture which, bool light, qreal devicePixelRatio);

class CellImages final {
public:
    explicit CellImages(qreal devicePixelRatio = 1.0);
    const QPixmap& picture(CellPicture which, bool light) const {
        return m_pictures[static_cast<std::size_t>(which)][light ? 1 : 0];
    }
    qreal devicePixelRatio() const { return m_devicePixelRatio; }

private:
    qreal m_devicePixelRatio;
    // Each picture's normal and light form.
    std::array<std::array<QPixmap, 2>, CellPictureCount> m_pictures;
};
