#include "ColorScheme.h"

#include <QApplication>
#include <QFontDatabase>

QFont ColorScheme::font(int pixelSize) {
    static const bool hasTahoma = QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
    QFont f = QApplication::font();
    if (hasTahoma)
        f.setFamily(QStringLiteral("Tahoma"));
    f.setPixelSize(pixelSize);
    return f;
}
