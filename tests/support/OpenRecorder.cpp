#include "tests/support/OpenRecorder.h"

#include <QDesktopServices>

OpenRecorder::OpenRecorder(const QStringList& schemes) : m_schemes(schemes) {
    for (const QString& scheme : m_schemes)
        QDesktopServices::setUrlHandler(scheme, this, "open");
}

OpenRecorder::~OpenRecorder() {
    for (const QString& scheme : m_schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

QStringList OpenRecorder::openedFiles() const {
    QStringList files;
    for (const QUrl& url : opened)
        files << url.toLocalFile();
    return files;
}

void OpenRecorder::open(const QUrl& url) {
    opened << url;
}
