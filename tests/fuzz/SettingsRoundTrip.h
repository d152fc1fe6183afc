#pragma once
// What the settings file must do with any content: what is read writes back and reads again
// as the same settings (the exit moment being the one written), and writing them once more
// changes nothing in the file. Shared by the fuzz target and the tests of its findings.

#include "desktop/IniFile.h"
#include "desktop/ProgramSettings.h"
#include "tests/support/FakeClock.h"

#include <QFile>

#include <string>

// Checks the file at path (which it rewrites); what broke, or empty.
inline std::string settingsRoundTripFailure(const QString& path) {
    const auto bytes = [&path] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const auto samePlace = [](const WindowPlacement& p, const WindowPlacement& q) {
        return p.state == q.state && p.left == q.left && p.top == q.top && p.width == q.width &&
               p.height == q.height;
    };
    const auto same = [&samePlace](const ProgramSettings& a, const ProgramSettings& b) {
        const bool sameJournal = a.journal.has_value() == b.journal.has_value() &&
                                 (!a.journal || samePlace(*a.journal, *b.journal));
        return samePlace(a.position, b.position) && sameJournal && a.language == b.language &&
               a.languageFile == b.languageFile && a.showMissedAtStart == b.showMissedAtStart &&
               a.showDayInTray == b.showDayInTray;
    };
    const Moment exit = makeMoment(2026, 12, 10, 18, 30, 15);
    const FakeClock clock(exit);
    const ProgramSettings first = readSettings(path.toStdString(), clock, exit, 540, 422);
    if (IniFile probe(path.toStdString()); !probe.load()) {
        // A file that is not UTF-8 text (or cannot be read) is never written.
        const QByteArray before = bytes();
        if (writeSettings(path.toStdString(), first, clock.now()))
            return "a file that could not be read was written";
        return bytes() == before ? std::string() : "a file that could not be read was changed";
    }
    if (const Status r = writeSettings(path.toStdString(), first, clock.now()); !r)
        return "settings that were read were not written: " + r.reason;
    const QByteArray written = bytes();
    const ProgramSettings second = readSettings(path.toStdString(), clock, exit, 540, 422);
    if (!same(first, second))
        return "settings written back read as other settings";
    if (second.lastRunTime != exit)
        return "the exit moment written does not read back";
    if (const Status r = writeSettings(path.toStdString(), second, clock.now()); !r)
        return "settings were not written a second time: " + r.reason;
    if (bytes() != written)
        return "writing the same settings again changed the file";
    return {};
}
