#include "ui/controls/ColorScheme.h"

#include "platform/DesktopVersion.h"
#include "ui/controls/ColorButton.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QPalette>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
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

// Windows and dialogs; not menus, tooltips and other pop-ups, which are windows to Qt.
bool isFramedWindow(const QWidget* widget) {
    return widget->isWindow() &&
           (widget->windowType() == Qt::Window || widget->windowType() == Qt::Dialog);
}

// The colour of a window's background and of the button faces in it.
void setWindowAndButtonColor(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Button, colour);
    widget->setPalette(p);
}

} // namespace

bool ColorScheme::inUse() {
    static const bool newer = isNewerDesktop();
    return newer;
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

void ColorScheme::recolorControl(QWidget* control) {
    if (isFramedWindow(control)) {
        setWindowAndButtonColor(control, schemeColor());
        control->setAutoFillBackground(true);
    } else if (qobject_cast<QToolBar*>(control) || qobject_cast<QGroupBox*>(control) ||
               qobject_cast<QStatusBar*>(control) || qobject_cast<QSplitter*>(control)) {
        fill(control, schemeColor());
    } else if (auto* button = qobject_cast<ColorButton*>(control)) {
        button->setColor(schemeColor());
    } else if (qobject_cast<QHeaderView*>(control)) {
        // A table's title row: its sections are drawn in the button colour.
        setWindowAndButtonColor(control, schemeColor());
    }
}

void ColorScheme::recolorOwned(QObject* owner) {
    for (QObject* child : owner->children()) {
        // Splitters are left out of the walk: they keep their colour.
        if (auto* widget = qobject_cast<QWidget*>(child);
            widget && !qobject_cast<QSplitter*>(child))
            recolorControl(widget);
        recolorOwned(child);
    }
}

void ColorScheme::applyColorScheme(QWidget* window) {
    if (!inUse())
        return;
    recolorControl(window);
    recolorOwned(window);
}

void ColorScheme::fill(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}
