#pragma once
// Screenshots of the program's windows for people to look at, taken in every look
// the program supports, and the looks themselves.

#include "i18n/LanguageFile.h"

#include <QFont>
#include <QString>
#include <ostream>
#include <string>
#include <vector>

class QWidget;

// One look of the program: its language, how much larger than the desktop's the
// application font is, and whether the colour scheme is on.
struct Look {
    QString language;
    double fontScale = 1.0;
    bool scheme = true;
};

// Every look the screenshot tests take; a new language, scale or scheme is one more
// row here.
const std::vector<Look>& screenshotLooks();

// The look as a name for files and tests: "en_150_scheme".
QString lookName(const Look& look);
// Shows a look by its name in test output.
inline void PrintTo(const Look& look, std::ostream* out) {
    *out << lookName(look).toStdString();
}

// The language file of a look, from the source tree's resources.
QString languageFileOf(const Look& look);

// Puts a look into effect for the application while it exists (the application font
// scaled from the desktop's, the look's title for the information dialogs), restores the
// previous one after, and gives the look's language sections for the other windows.
class ScopedLook final {
public:
    explicit ScopedLook(const Look& look);
    ~ScopedLook();
    ScopedLook(const ScopedLook&) = delete;
    ScopedLook& operator=(const ScopedLook&) = delete;

    // Whether the program can show this look yet (its language and scheme); a test
    // skips the others.
    bool supported() const { return m_supported; }

    // The look's section of the kind Line; empty when its file has none.
    template <class Line> LanguageSection<Line> section() const {
        return m_language.section<Line>().value_or(LanguageSection<Line>());
    }

private:
    QFont m_savedFont;
    LanguageFile m_language;
    bool m_supported;
};

// The folder screenshots go to: artifacts/ in the build folder.
QString artifactsFolder();

// Saves what `widget` shows (QWidget::grab) as <artifacts folder>/<name>.png, and the
// widget drawn at a device-pixel ratio of 2 as <name>@2x.png; returns the first file's
// path, empty when either could not be written.
QString saveScreenshot(QWidget* widget, const QString& name);
