#pragma once
// The fourteen 16 x 16 cell pictures of the reminder list, a normal and an
// inverted one (light, for the highlighted row) per alert kind, drawn in code at
// the screen's pixel ratio with a transparent background.

#include <QPixmap>
#include <array>

enum CellBitmap : int {
    BitSchedule,
    BitScheduleInv,
    BitMess,
    BitMessInv,
    BitHint,
    BitHintInv,
    BitSound,
    BitSoundInv,
    BitAnim,
    BitAnimInv,
    BitRunProg,
    BitRunProgInv,
    BitShutdown,
    BitShutdownInv,
    CellBitmapCount
};

constexpr int CellImageSize = 16;

// One picture of the strip; a null pixmap when it could not be made.
QPixmap DrawCellImage(CellBitmap which, qreal devicePixelRatio);

class TCellImages final {
public:
    explicit TCellImages(qreal devicePixelRatio = 1.0);
    const QPixmap& Bitmap(CellBitmap which) const { return bits_[which]; }
    qreal DevicePixelRatio() const { return dpr_; }

private:
    qreal dpr_;
    std::array<QPixmap, CellBitmapCount> bits_;
};
