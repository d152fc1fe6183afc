#include "tests/support/Screenshot.h"

#include "ui/controls/ColorScheme.h"
#include "ui/dialogs/InfoDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPixmap>
#include <QWidget>
#include <cmath>

const std::vector<Look>& screenshotLooks() {
    static const std::vector<Look> looks = {
        {QStringLiteral("en"), 1.0, true},
        {QStringLiteral("en"), 1.5, true},
        {QStringLiteral("ru"), 1.0, true},
        {QStringLiteral("ru"), 1.5, true},
    };
    return looks;
}

QString lookName(const Look& look) {
    return QStringLiteral("%1_%2_%3")
        .arg(look.language)
        .arg(static_cast<int>(std::lround(look.fontScale * 100)))
        .arg(look.scheme ? QStringLiteral("scheme") : QStringLiteral("plain"));
}

QString languageFileOf(const Look& look) {
    return QStringLiteral(CHIMEWELL_RESOURCES_DIR "/Chimly_%1.lng").arg(look.language);
}

ScopedLook::ScopedLook(const Look& look)
    : m_savedFont(QApplication::font()),
      m_language(LanguageFile::read(languageFileOf(look).toStdString())),
      // A desktop without the scheme comes with a later part.
      m_supported(QFileInfo::exists(languageFileOf(look)) && look.scheme == ColorScheme::inUse()) {
    InfoDialog::useTexts(section<InfoLine>());
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * look.fontScale);
    else
        font.setPixelSize(static_cast<int>(std::lround(font.pixelSize() * look.fontScale)));
    QApplication::setFont(font);
}

ScopedLook::~ScopedLook() {
    QApplication::setFont(m_savedFont);
    InfoDialog::useTexts({});
}

QString artifactsFolder() {
    return QStringLiteral(CHIMEWELL_ARTIFACTS_DIR);
}

QString saveScreenshot(QWidget* widget, const QString& name) {
    if (!QDir().mkpath(artifactsFolder()))
        return {};
    const QString path = artifactsFolder() + QLatin1Char('/') + name + QStringLiteral(".png");
    // The same window drawn at twice the resolution, as on a high-density screen.
    QPixmap twice(widget->size() * 2);
    twice.setDevicePixelRatio(2);
    twice.fill(Qt::transparent);
    widget->render(&twice);
    const QString pathAt2x =
        artifactsFolder() + QLatin1Char('/') + name + QStringLiteral("@2x.png");
    return widget->grab().save(path, "PNG") && twice.save(pathAt2x, "PNG") ? path : QString();
}
