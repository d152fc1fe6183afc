#pragma once
// The crossing between the system's paths (std::string: bytes on Linux, UTF-8 on Windows)
// and Qt's strings. Qt 6 reads a file name as UTF-8 whatever the locale, so a byte that is
// not UTF-8 becomes U+FFFD and is lost on the way back: a path the program opens itself stays
// a std::string end to end, and pathText() is for showing it or handing it to a Qt widget.

#include <QFile>
#include <QString>

#include <string>

inline QString pathText(const std::string& path) {
#ifdef _WIN32
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
#else
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
#endif
}

// A path that came from Qt (a file dialog, the settings file's text) as the system's bytes.
inline std::string pathBytes(const QString& path) {
#ifdef _WIN32
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}
