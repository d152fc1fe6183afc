#pragma once
// The settings file as plain values: the main window and the journal window map
// these onto their controls. Nothing here reads the clock or shows a window.

#include "core/Moment.h"

#include <QString>

// Window-state code of the file (note the order: maximized first).
enum class WindowStateCode : int { Maximized = 0, Minimized = 1, Normal = 2 };

// Any stored code other than 0, 1 or 2 gives Normal.
WindowStateCode WindowStateFromCode(int code);

struct WindowPlacement {
    WindowStateCode state = WindowStateCode::Normal;
    int left = 10;
    int top = 10;
    int width = 0; // outer size in pixels
    int height = 0;
};

// Stored as 0, 1 and 2; any other stored value reads as Other.
enum class LanguageChoice : int { English = 0, Russian = 1, Other = 2 };

struct ProgramSettings {
    WindowPlacement position;
    // When the program last exited (read only; WriteSettings stores its `now`).
    Moment LastRunTime = DayCountEpoch;
    LanguageChoice language = LanguageChoice::English;
    QString languageFile; // the "Other" language file; empty when never chosen
    bool ShowMissedAtStart = true;
    bool ShowDayInTray = false;
};

struct SettingsWriteResult {
    bool ok = true;
    // "Unable to write to <path>" when the file could not be written.
    QString errorText;
    // Why, as the file system reported it (for diagnostics).
    QString reason;
    explicit operator bool() const { return ok; }
};

// Reads the main window's settings. now is the moment of reading (the default of
// LastRunTime); currentWidth/currentHeight are the window's size before reading
// (the defaults of the size). A missing or unreadable file gives the defaults.
// A stored "LastTime" that does not read in the default locale's format, or
// that lies after now, gives now.
ProgramSettings ReadSettings(const QString& path, Moment now, int currentWidth, int currentHeight);

// Writes the main window's settings with "LastTime" := now, keeping everything
// else in the file. A maximized window leaves the stored position and size as
// they are. The file is replaced whole or not at all.
[[nodiscard]] SettingsWriteResult WriteSettings(const QString& path,
                                                const ProgramSettings& settings, Moment now);

// The journal window's section, as for the main window.
WindowPlacement ReadJournalPlacement(const QString& path, int currentWidth, int currentHeight);
[[nodiscard]] SettingsWriteResult WriteJournalPlacement(const QString& path,
                                                        const WindowPlacement& placement);
