#include "ui/main/CommandImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A sheet of paper with a folded corner, in a 16-unit square.
void document(QPainter& p, QPointF at) {
    QPainterPath sheet;
    sheet.moveTo(at + QPointF(0.5, 0.5));
    sheet.lineTo(at + QPointF(7.5, 0.5));
    sheet.lineTo(at + QPointF(10.5, 3.5));
    sheet.lineTo(at + QPointF(10.5, 13.5));
    sheet.lineTo(at + QPointF(0.5, 13.5));
    sheet.closeSubpath();
    p.setPen(QPen(QColor(70, 80, 100), 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.drawLine(at + QPointF(7.5, 0.5), at + QPointF(7.5, 3.5));
    p.drawLine(at + QPointF(7.5, 3.5), at + QPointF(10.5, 3.5));
}

void lines(QPainter& p, QPointF at, int count) {
    p.setPen(QPen(QColor(40, 90, 170), 1));
    for (int i = 0; i < count; ++i)
        p.drawLine(at + QPointF(2.5, 5.5 + 2 * i), at + QPointF(8.5, 5.5 + 2 * i));
}

QPixmap render(CommandImage image, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    switch (image) {
    case CommandImage::BlankDocument:
        document(p, {2.5, 1});
        break;
    case CommandImage::LinedDocument:
        document(p, {2.5, 1});
        lines(p, {2.5, 1}, 4);
        break;
    case CommandImage::TwoDocuments:
        document(p, {0.5, 0});
        document(p, {4.5, 2});
        lines(p, {4.5, 2}, 3);
        break;
    case CommandImage::Cross:
        p.setPen(QPen(QColor(200, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case CommandImage::Arrows:
        p.setPen(QPen(QColor(30, 130, 60), 1.6));
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 30 * 16, 150 * 16);
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 210 * 16, 150 * 16);
        break;
    case CommandImage::List:
        for (int i = 0; i < 4; ++i) {
            p.fillRect(QRectF(2, 2.5 + 3 * i, 2, 2), QColor(40, 90, 170));
            p.fillRect(QRectF(5.5, 3 + 3 * i, 8.5, 1), QColor(60, 60, 60));
        }
        break;
    }
    return pm;
}

} // namespace

QIcon commandIcon(CommandImage image) {
    QIcon icon;
    for (int size : {16, 32})
        icon.addPixmap(render(image, size));
    return icon;
}
