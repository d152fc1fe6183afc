#pragma once
// The fourteen 16 x 16 cell pictures of the reminder list, a normal and an
// inverted one (light, for the highlighted row) per alert kind, drawn in code at
// the screen's pixel ratio with a transparent background.

#include <QPixmap>
#include <array>

// Each picture is followed by its light variant, drawn on the highlighted row.
enum CellPicture : int {
    ScheduleCell,
    ScheduleCellLight,
    AlertCell,
    AlertCellLight,
    HintCell,
    HintCellLight,
    SoundCell,
    SoundCellLight,
    FlashCell,
    FlashCellLight,
    OpenFileCell,
    OpenFileCellLight,
    PowerCell,
    PowerCellLight,
    CellPictureCount
};

constexpr int CellImageSize = 16;

// One picture of the strip; a null pixmap when it could not be made.
QPixmap drawCellPicture(CellPicture which, qreal devicePixelRatio);

class CellImages final {
public:
    explicit CellImages(qreal devicePixelRatio = 1.0);
    const QPixmap& picture(CellPicture which) const { return m_pictures[which]; }
    qreal devicePixelRatio() const { return m_devicePixelRatio; }

private:
    qreal m_devicePixelRatio;
    std::array<QPixmap, CellPictureCount> m_pictures;
};
