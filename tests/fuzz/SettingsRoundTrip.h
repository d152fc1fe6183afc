#pragma once
// What the settings file must do with any content: what is read writes back and reads again
// as the same settings (the exit moment being the one written), and writing them once more
// changes nothing in the file. Shared by the fuzz target and the tests of its findings.

#include "desktop/ProgramSettings.h"

#include <QFile>

#include <string>

// Checks the file at path (which it rewrites); what broke, or empty.
inline std::string settingsRoundTripFailure(const QString& path) {
    const auto bytes = [&path] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const auto same = [](const ProgramSettings& a, const ProgramSettings& b) {
        const WindowPlacement& p = a.position;
        const WindowPlacement& q = b.position;
        return p.state == q.state && p.left == q.left && p.top == q.top && p.width == q.width &&
               p.height == q.height && a.language == b.language &&
               a.languageFile == b.languageFile && a.ShowMissedAtStart == b.ShowMissedAtStart &&
               a.ShowDayInTray == b.ShowDayInTray;
    };
    const Moment exit = makeMoment(2026, 12, 10, 18, 30, 15);
    const ProgramSettings first = ReadSettings(path, exit, 540, 422);
    if (const SettingsWriteResult r = WriteSettings(path, first, exit); !r)
        return "settings that were read were not written: " + r.reason.toStdString();
    const QByteArray written = bytes();
    const ProgramSettings second = ReadSettings(path, exit, 540, 422);
    if (!same(first, second))
        return "settings written back read as other settings";
    if (second.LastRunTime != exit)
        return "the exit moment written does not read back";
    if (const SettingsWriteResult r = WriteSettings(path, second, exit); !r)
        return "settings were not written a second time: " + r.reason.toStdString();
    if (bytes() != written)
        return "writing the same settings again changed the file";
    return {};
}
