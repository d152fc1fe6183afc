#include "ui/main/CellImages.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <exception>

namespace {

struct Inks {
    QColor line;   // outlines and strokes
    QColor fill;   // soft fills (clock face, bubble)
    QColor accent; // the picture's own colour (flag, triangle, cross)
};

Inks inksFor(bool light, QColor accent, QColor accentLight) {
    if (light)
        return {QColor(255, 255, 255), QColor(0, 0, 0, 0), accentLight};
    return {QColor(32, 32, 48), QColor(255, 244, 190), accent};
}

void drawClock(QPainter& p, const Inks& k) {
    p.setPen(QPen(k.line, 1.2));
    p.setBrush(k.fill);
    p.drawEllipse(QPointF(8, 8), 6.3, 6.3);
    p.setPen(QPen(k.line, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(8, 4.2));
    p.drawLine(QPointF(8, 8), QPointF(10.8, 8));
}

void drawLines(QPainter& p, const Inks& k) {
    p.setPen(QPen(k.line, 1.4, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 3.7 + i * 3.0;
        p.drawLine(QPointF(2.5, y), QPointF(i == 3 ? 9.5 : 13.5, y));
    }
}

void drawBubble(QPainter& p, const Inks& k) {
    QPainterPath path;
    path.addRoundedRect(QRectF(1.6, 2.1, 12.8, 8.6), 3, 3);
    QPainterPath tail;
    tail.moveTo(4.6, 10.2);
    tail.lineTo(3.8, 14.2);
    tail.lineTo(8.6, 10.2);
    tail.closeSubpath();
    p.setPen(QPen(k.line, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(k.fill);
    p.drawPath(path.united(tail));
    p.setPen(Qt::NoPen);
    p.setBrush(k.line);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(5.0 + i * 3.0, 6.4), 0.9, 0.9);
}

void drawSpeaker(QPainter& p, const Inks& k) {
    const QPointF cone[] = {{1.8, 5.8},  {4.6, 5.8},  {8.4, 2.4},
                            {8.4, 13.6}, {4.6, 10.2}, {1.8, 10.2}};
    p.setPen(QPen(k.line, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(k.line);
    p.drawPolygon(cone, 6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(k.line, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(6.6, 5.0, 5.0, 6.0), -60 * 16, 120 * 16);
    p.drawArc(QRectF(6.0, 2.6, 8.6, 10.8), -60 * 16, 120 * 16);
}

void drawFlag(QPainter& p, const Inks& k) {
    p.setPen(QPen(k.line, 1.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3.2, 1.5), QPointF(3.2, 15));
    QPainterPath cloth;
    cloth.moveTo(3.9, 2.2);
    cloth.cubicTo(7, 0.8, 9, 3.8, 13.8, 2.4);
    cloth.lineTo(13.8, 8.6);
    cloth.cubicTo(9, 10, 7, 7, 3.9, 8.4);
    cloth.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(k.accent);
    p.drawPath(cloth);
}

void drawTriangle(QPainter& p, const Inks& k, bool inverted) {
    const QPointF tri[] = {{3.6, 2.4}, {13.6, 8.0}, {3.6, 13.6}};
    p.setPen(QPen(inverted ? k.accent : k.accent.darker(140), 1.0, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(k.accent);
    p.drawPolygon(tri, 3);
}

void drawCross(QPainter& p, const Inks& k) {
    p.setPen(QPen(k.accent, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

} // namespace

QPixmap drawCellPicture(CellPicture which, bool light, qreal devicePixelRatio) {
    try {
        const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
        const int px = static_cast<int>(std::ceil(CellImageSize * dpr));
        QPixmap pm(px, px);
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        switch (which) {
        case CellPicture::Schedule:
            drawClock(p, inksFor(light, {}, {}));
            break;
        case CellPicture::Alert:
            drawLines(p, inksFor(light, {}, {}));
            break;
        case CellPicture::Hint:
            drawBubble(p, inksFor(light, {}, {}));
            break;
        case CellPicture::Sound:
            drawSpeaker(p, inksFor(light, {}, {}));
            break;
        case CellPicture::Flash:
            drawFlag(p, inksFor(light, QColor(214, 32, 32), QColor(255, 120, 110)));
            break;
        case CellPicture::OpenFile:
            drawTriangle(p, inksFor(light, QColor(40, 150, 50), QColor(130, 235, 130)), light);
            break;
        case CellPicture::Power:
            drawCross(p, inksFor(light, QColor(200, 20, 20), QColor(255, 130, 130)));
            break;
        }
        return pm;
    } catch (const std::exception&) {
        return {}; // this picture stays empty; the others are still made
    }
}

CellImages::CellImages(qreal devicePixelRatio) : m_devicePixelRatio(devicePixelRatio) {
    for (int i = 0; i < CellPictureCount; ++i)
        for (const bool light : {false, true})
            m_pictures[static_cast<std::size_t>(i)][light ? 1 : 0] =
                drawCellPicture(static_cast<CellPicture>(i), light, m_devicePixelRatio);
}
