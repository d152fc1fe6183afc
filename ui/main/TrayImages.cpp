#include "ui/main/TrayImages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

// The sizes trays ask for, at scale 1 and above.
constexpr int IconSizes[] = {16, 20, 22, 24, 32, 40, 48, 64};

void paintClock(QPainter& p) {
    p.setPen(QPen(QColor(90, 64, 0), 1.1));
    p.setBrush(QColor(255, 206, 30));
    p.drawEllipse(QPointF(8, 8), 7.0, 7.0);
    p.setBrush(QColor(255, 246, 196));
    p.setPen(QPen(QColor(150, 110, 0), 0.6));
    p.drawEllipse(QPointF(8, 8), 5.0, 5.0);
    p.setPen(QPen(QColor(60, 40, 0), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(8, 4.3));
    p.drawLine(QPointF(8, 8), QPointF(10.9, 9.4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 0));
    p.drawEllipse(QPointF(8, 8), 0.9, 0.9);
}

void paintDay(QPainter& p, int day, int pixelSize) {
    const qreal unit = pixelSize / 16.0;
    const QRectF page(0.5, 0.5, 15, 15);
    p.setPen(QPen(QColor(70, 70, 80), 1.0));
    p.setBrush(Qt::white);
    p.drawRoundedRect(page, 2, 2);
    // A red binding strip along the top, as on a tear-off calendar.
    QPainterPath top;
    top.addRoundedRect(page, 2, 2);
    QPainterPath band;
    band.addRect(QRectF(0, 0, 16, 3.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 40, 40));
    p.drawPath(top.intersected(band));

    // The number as large as fits below the strip, in whole device pixels.
    const QString text = QString::number(day);
    const QRectF area(1.0, 3.5, 14.0, 12.0);
    // Two digits get the narrow face, so that they can be as tall as one.
    QFont font(text.size() > 1 ? QStringLiteral("DejaVu Sans Condensed")
                               : QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    int px = static_cast<int>(area.height() * unit) + 2;
    for (; px > 4; --px) {
        font.setPixelSize(px);
        const QFontMetricsF fm(font);
        if (fm.horizontalAdvance(text) <= area.width() * unit + 0.5 &&
            fm.tightBoundingRect(text).height() <= area.height() * unit - unit)
            break;
    }
    p.save();
    p.resetTransform(); // draw the text in device pixels so that it stays sharp
    p.setFont(font);
    p.setPen(QColor(20, 20, 30));
    const QRectF dev(area.left() * unit, area.top() * unit, area.width() * unit,
                     area.height() * unit);
    const QRectF tight = QFontMetricsF(font).tightBoundingRect(text);
    const qreal x = std::round(dev.center().x() - tight.width() / 2 - tight.left());
    const qreal y = std::round(dev.center().y() - tight.height() / 2 - tight.top());
    p.drawText(QPointF(x, y), text);
    p.restore();
}

void paintFlag(QPainter& p, bool red) {
    // A light pole with a dark edge shows on dark and light panels alike.
    p.setPen(QPen(QColor(40, 36, 32), 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3, 1), QPointF(3, 15.5));
    p.setPen(QPen(QColor(200, 192, 180), 1.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3, 1.5), QPointF(3, 15));
    QPainterPath cloth;
    cloth.moveTo(3.8, 1.6);
    cloth.cubicTo(7, 0.2, 9.5, 3.4, 15, 1.8);
    cloth.lineTo(15, 9.4);
    cloth.cubicTo(9.5, 11, 7, 7.8, 3.8, 9.2);
    cloth.closeSubpath();
    p.setPen(QPen(red ? QColor(120, 0, 0) : QColor(150, 80, 0), 0.8));
    p.setBrush(red ? QColor(228, 28, 28) : QColor(255, 150, 20));
    p.drawPath(cloth);
}

int drawn = 0;

// Draws a size the first time it is asked for and keeps it.
class TrayIconEngine final : public QIconEngine {
public:
    TrayIconEngine(TrayPicture picture, int day) : m_picture(picture), m_day(day) {}

    // The same picture in every mode and state: the tray shows no other.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::max(1, std::min(size.width(), size.height()));
        auto it = m_drawn.find(side);
        if (it == m_drawn.end())
            it = m_drawn.emplace(side, renderTrayPicture(m_picture, side, m_day)).first;
        return it->second;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * scale, mode, state);
        pm.setDevicePixelRatio(scale);
        painter->drawPixmap(rect, pm);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int size : IconSizes)
            sizes << QSize(size, size);
        return sizes;
    }
    QIconEngine* clone() const override { return new TrayIconEngine(*this); }
    QString key() const override { return QStringLiteral("TrayIconEngine"); }

private:
    TrayPicture m_picture;
    int m_day;
    std::map<int, QPixmap> m_drawn;
};

} // namespace

QIcon trayIcon(TrayPicture picture, int day) {
    return QIcon(new TrayIconEngine(picture, day));
}

QPixmap renderTrayPicture(TrayPicture picture, int pixelSize, int day) {
    ++drawn;
    QPixmap pm(pixelSize, pixelSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(pixelSize / 16.0, pixelSize / 16.0); // drawn on a 16-unit square
    switch (picture) {
    case TrayPicture::Clock:
        paintClock(p);
        break;
    case TrayPicture::Day:
        paintDay(p, std::clamp(day, 1, 31), pixelSize);
        break;
    case TrayPicture::RedFlag:
    case TrayPicture::OrangeFlag:
        paintFlag(p, picture == TrayPicture::RedFlag);
        break;
    }
    return pm;
}

TrayImageSets::TrayImageSets()
    : m_plain(trayIcon(TrayPicture::Clock)), m_flags{trayIcon(TrayPicture::RedFlag),
                                                     trayIcon(TrayPicture::OrangeFlag)} {
    for (int d = 1; d <= 31; ++d)
        m_days[d - 1] = trayIcon(TrayPicture::Day, d);
}

int TrayImageSets::drawnCount() {
    return drawn;
}

const QIcon& TrayImageSets::day(int day) const {
    return m_days[std::clamp(day, 1, 31) - 1];
}
