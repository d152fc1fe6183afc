#pragma once
// The settings file as plain values: the main window and the journal window map
// these onto their controls. Nothing here reads the clock or shows a window.

#include "core/Clock.h"
#include "core/Moment.h"
#include "core/Status.h"

#include <QString>

#include <optional>
#include <string>

// Window-state code of the file (note the order: maximized first).
enum class WindowStateCode : int { Maximized = 0, Minimized = 1, Normal = 2 };

// Any stored code other than 0, 1 or 2 gives Normal.
WindowStateCode windowStateFromCode(int code);

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
    // The end of the last run as far as it is known: its exit, or the last moment it
    // alerted (read only; writeSettings stores the moment it is given).
    Moment lastRunTime = DayCountEpoch;
    LanguageChoice language = LanguageChoice::English;
    QString languageFile; // the "Other" language file; empty when never chosen
    bool showMissedAtStart = true;
    bool showDayInTray = false;
    // The journal window's placement: when the file has one, or once a journal window has
    // been placed; written back only then.
    std::optional<WindowPlacement> journal;
};

// Reads the settings from path (the system's bytes). now is the moment of reading (the default of
// lastRunTime); currentWidth/currentHeight are the main window's size before reading (the defaults
// of the size; the journal window's stored size defaults to 0, its own). A missing or
// unreadable file gives the defaults. "LastTime" is read as ISO 8601 with an offset from
// UTC, whose instant becomes the clock's local moment, or else in the default locale's
// regional format as older versions wrote it; text that reads neither way, or a moment
// after now, gives now.
ProgramSettings readSettings(const std::string& path, const Clock& clock, Moment now,
                             int currentWidth, int currentHeight);

// Writes the settings with "LastTime" := lastTime (ISO 8601 with its offset from UTC),
// keeping everything else in the file. A maximized window leaves the stored position and
// size as they are. The file is replaced whole or not at all.
[[nodiscard]] Status writeSettings(const std::string& path, const ProgramSettings& settings,
                                   const ClockReading& lastTime);
