#pragma once
// The reminder record, occurrence calculation, schedule texts and the program's
// folders and file paths.

#include "Moment.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// Weekday flags, Monday first.
using WeekDays = std::array<bool, 7>;

// One reminder as it travels between the table, the engine and the windows.
struct eventParams {
    std::int32_t N = -1;
    TDateTime D = 0;
    TDateTime T = 0;
    std::int32_t H = 0;
    std::int32_t M = 0;
    std::string Comment;
    std::string SPath;
    std::string PPath;
    std::uint16_t DateOrDay = 0;
    std::uint16_t everyMonthDay = 1;
    bool d1 = false, d2 = false, d3 = false, d4 = false, d5 = false, d6 = false, d7 = false;
    bool MessageShow = false;
    bool Anim = false;
    bool Sound = false;
    bool RunProg = false;
    bool WithSound = false;
    bool AfterStart = false;
    std::int32_t MinutesAfterStart = 0;
    bool Special = false;
    bool Shutdown = false;
    bool isNewThing = false;
    TDateTime CreateDate = 0;

    WeekDays Days() const { return {d1, d2, d3, d4, d5, d6, d7}; }
    void SetDays(const WeekDays& d) {
        d1 = d[0], d2 = d[1], d3 = d[2], d4 = d[3], d5 = d[4], d6 = d[5], d7 = d[6];
    }
};

struct TSaveResult {
    bool isSaved = false;
    std::int32_t NumThing = -1;
};

// Where the data module and the folder routines report errors; the main window
// installs one that shows a message box. By default messages go to stderr.
using MessageSink = std::function<void(const std::string&)>;
void SetMessageSink(MessageSink sink);
void ShowCoreMessage(const std::string& text);

// --- occurrence calculation -------------------------------------------------

// 2000-01-01 00:00, the moment that stands for after-start reminders.
TDateTime BaseDate();

// Next occurrence at or after the reference moment (now, or now minus 60 s with Flag).
TDateTime NextEventTime(std::uint16_t DateOrDay, std::uint16_t everyMonthDay, TDateTime D,
                        const WeekDays& days, bool Flag, TDateTime now);
// Last occurrence at or before the reference moment.
TDateTime PrevEventTime(std::uint16_t DateOrDay, std::uint16_t everyMonthDay, TDateTime D,
                        const WeekDays& days, bool Flag, TDateTime now);
// The same, reading the clock.
TDateTime NextEventTime(std::uint16_t DateOrDay, std::uint16_t everyMonthDay, TDateTime D,
                        const WeekDays& days, bool Flag);
TDateTime PrevEventTime(std::uint16_t DateOrDay, std::uint16_t everyMonthDay, TDateTime D,
                        const WeekDays& days, bool Flag);

// --- schedule texts ---------------------------------------------------------

constexpr std::size_t DescriptionLength = 57;

std::string WeekdayNames(const WeekDays& days);
std::string ScheduleDescription(std::uint16_t DateOrDay, std::uint16_t everyMonthDay,
                                std::uint16_t AfterStart, TDateTime D,
                                std::int32_t MinutesAfterStart, const WeekDays& days);
// The first maxChars characters of a UTF-8 text.
std::string Utf8Left(const std::string& text, std::size_t maxChars);
std::size_t Utf8Length(const std::string& text);

// --- folders and paths ------------------------------------------------------

constexpr int CSIDL_APPDATA = 26;
constexpr int CSIDL_PERSONAL = 5;

// Shell folder id of the data folder; 0 or less means no data folder.
extern int DataFolderId;
// The per-user data folder, without a trailing separator; empty until
// SettingsFilePath establishes it.
extern std::string DataFolder;

// The running executable's full path (links resolved). Tests may set another.
std::string ExecutablePath();
void SetExecutablePath(const std::string& path);

std::string ExeFolder();
std::string WithTrailingBackslash(const std::string& path);
std::string SpecialFolder(int id);
std::string DocumentsFolder();
// Forms the settings file path; sets DataFolder and creates it as a side effect.
std::string SettingsFilePath();
std::string ThingsFilePath();
std::string SoundsFolder();
std::string ClickSoundPath();
