#include "platform/ShellOpen.h"

#include "platform/SystemLog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QUrl>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Actions fail without a window in the middle of other alerts; this leaves a trace for
// whoever looks at the terminal or the journal.
void reportFailure(const QString& path, const QString& reason) {
    writeToSystemLog(QStringLiteral("could not start %1: %2").arg(path, reason).toStdString());
}

// The file starts with an ELF header or with "#!".
bool startsLikeAProgram(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    char head[4] = {};
    const ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    const std::string_view start(head, n > 0 ? std::size_t(n) : 0);
    return start.starts_with("\x7f"
                             "ELF") ||
           start.starts_with("#!");
}

void startProgram(const QString& path) {
    const QFileInfo file(path);
    QProcess program;
    // An absolute path, so that a bare name is never looked up on PATH.
    program.setProgram(file.absoluteFilePath());
    program.setWorkingDirectory(file.absolutePath());
    program.setStandardInputFile(QProcess::nullDevice());
    if (!program.startDetached())
        reportFailure(path, program.errorString());
}

void launchDesktopEntry(const QString& path) {
    // Not detached: gio's exit code says whether the entry's program started. gio ends as
    // soon as it has started it, and its own messages go to the program's standard error.
    auto* gio = new QProcess(QCoreApplication::instance());
    gio->setProgram(QStringLiteral("gio"));
    gio->setArguments({QStringLiteral("launch"), path});
    gio->setStandardInputFile(QProcess::nullDevice());
    gio->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(gio, &QProcess::finished, gio,
                     [gio, path](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0)
                             reportFailure(path, QStringLiteral("gio launch failed"));
                         gio->deleteLater();
                     });
    QObject::connect(gio, &QProcess::errorOccurred, gio, [gio, path](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        reportFailure(path, QStringLiteral("gio could not be run: ") + gio->errorString());
        gio->deleteLater();
    });
    gio->start();
}

} // namespace

OpenAs openAsFor(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return OpenAs::Document;
    if (path.ends_with(".desktop"))
        return OpenAs::DesktopEntry;
    // The execute permission alone is not enough: documents on some drives (FAT, NTFS,
    // shared folders) carry it too.
    if (::access(path.c_str(), X_OK) == 0 && startsLikeAProgram(path))
        return OpenAs::Program;
    return OpenAs::Document;
}

void shellOpen(const std::string& path) {
    const QString p = QString::fromStdString(path);
    switch (openAsFor(path)) {
    case OpenAs::Program:
        startProgram(p);
        return;
    case OpenAs::DesktopEntry:
        launchDesktopEntry(p);
        return;
    case OpenAs::Document:
        QDesktopServices::openUrl(QUrl::fromLocalFile(p));
        return;
    }
}

bool shellOpenAddress(const std::string& address) {
    static constexpr std::string_view filePrefix = "file://";
    // The path as it stands: "#", "%" or "?" in a folder name are part of the name.
    const QUrl url =
        address.starts_with(filePrefix)
            ? QUrl::fromLocalFile(QString::fromStdString(address.substr(filePrefix.size())))
            : QUrl(QString::fromStdString(address));
    return url.isValid() && QDesktopServices::openUrl(url);
}
