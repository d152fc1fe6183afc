#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

void shellOpen(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}
