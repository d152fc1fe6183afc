#pragma once
// The one owner of the settings file: holds its values, takes the windows' placements as they
// hand them on, and alone writes the file, telling of a failure the way the caller asks.

#include "core/Clock.h"
#include "core/Moment.h"
#include "desktop/ProgramSettings.h"

#include <QObject>
#include <QString>

#include <optional>

class Settings final : public QObject {
    Q_OBJECT
public:
    // How a failed write is told.
    enum class Report {
        // In a window, through writeFailed(), the first failure of the run only: while the
        // program runs, when someone is there to read it.
        OncePerRun,
        // Each failure on standard error and in the system log: while the program or the
        // session ends, when a window would hold up the end.
        SystemLog,
    };

    // The clock must outlive the settings; it turns the stored "LastTime" into a local moment.
    Settings(std::string path, const Clock& clock, QObject* parent = nullptr);

    const std::string& path() const { return m_path; }
    // Reads the file; `now` is the moment of reading. A missing or unreadable file gives the
    // defaults, and a main window never placed keeps its designed size.
    void read(Moment now);
    const ProgramSettings& values() const { return m_values; }

    void setLanguage(LanguageChoice language) { m_values.language = language; }
    void setLanguageFile(const QString& path) { m_values.languageFile = path; }
    void setShowMissedAtStart(bool on) { m_values.showMissedAtStart = on; }
    void setShowDayInTray(bool on) { m_values.showDayInTray = on; }
    // Where a window is as it hands it on: written with the next write.
    void setMainPlacement(const WindowPlacement& placement) { m_values.position = placement; }
    void setJournalPlacement(const WindowPlacement& placement) { m_values.journal = placement; }
    // Where the next journal window opens: as stored or last handed on, else the default.
    WindowPlacement journalPlacement() const {
        return m_values.journal.value_or(WindowPlacement{});
    }

    // Writes the values with `lastTime` as the end of the run so far, keeping everything else in
    // the file, and tells of a failure as `report` asks.
    [[nodiscard]] Status write(const ClockReading& lastTime, Report report);
    // The instant last written as "LastTime" (also when that write failed).
    std::optional<UtcInstant> lastTimeWritten() const { return m_lastTimeWritten; }

signals:
    // The first failed write of the run told in a window: "Unable to write to <path>", a line
    // break and why.
    void writeFailed(const QString& text);

private:
    std::string m_path;
    const Clock& m_clock;
    ProgramSettings m_values;
    std::optional<UtcInstant> m_lastTimeWritten;
    bool m_failureShown = false;
};
