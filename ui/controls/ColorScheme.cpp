#include "ui/controls/ColorScheme.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

// A font's size in pixels, whether it was given in points or in pixels.
qreal pixelSizeOf(const QFont& f) {
    if (f.pixelSize() > 0)
        return f.pixelSize();
    return QFontInfo(f).pixelSize();
}

} // namespace

bool ColorScheme::inUse() {
    return true;
}

qreal ColorScheme::fontScale() {
    const QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const QFont application = QApplication::font();
    // Points where both have them: exact, and independent of the screen's resolution.
    if (desktop.pointSizeF() > 0 && application.pointSizeF() > 0)
        return application.pointSizeF() / desktop.pointSizeF();
    const qreal desktopPixels = pixelSizeOf(desktop);
    return desktopPixels > 0 ? pixelSizeOf(application) / desktopPixels : 1.0;
}

QFont ColorScheme::font(int pixelSize) {
    static const bool hasTahoma = QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
    QFont f = QApplication::font();
    if (hasTahoma)
        f.setFamily(QStringLiteral("Tahoma"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize * fontScale()))));
    return f;
}

void ColorScheme::applyTo(QWidget* window) {
    if (!inUse())
        return;
    QPalette p = window->palette();
    p.setColor(QPalette::Window, color());
    p.setColor(QPalette::Button, color());
    window->setPalette(p);
    window->setAutoFillBackground(true);
}

void ColorScheme::fill(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}
