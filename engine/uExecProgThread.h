#pragma once
// One-shot worker that opens a reminder's file or program.

#include <QString>

class QObject;

class TExecProgThread final {
public:
    // Tests PPath on a worker thread; when it names an existing file, opens it with ShellOpen on
    // Own's thread. A missing file or empty path does nothing and shows nothing.
    static void Create(QObject* Own, const QString& PPath);
};
