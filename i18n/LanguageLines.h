#pragma once
// The lines of the language file's sections, one enum per section: a line's value is its
// position after the section's marker (line 1 is the first line after it). Positions the
// file keeps free are not named. sectionMarker() gives the name in a section's markers.

#include <string_view>

// [Main]: the main window, its settings page, the tray menu and the shared texts.
enum class MainLine {
    ListTab = 1,
    SettingsTab = 2,
    NewReminder = 3,
    EditReminder = 4,
    CopyReminder = 5,
    DeleteReminder = 6,
    Journal = 8,
    SoundOff = 9,
    AnimationOff = 10,
    Exit = 11,
    LanguageGroup = 12,
    English = 13,
    Russian = 14,
    Other = 15,
    LanguageFileHint = 16,
    ShowMissedAtStart = 17,
    About = 18,
    MessageColumn = 20,
    Mon = 29,
    Tue = 30,
    Wed = 31,
    Thu = 32,
    Fri = 33,
    Sat = 34,
    Sun = 35,
    DescriptionColumn = 36,
    NextTimeColumn = 37,
    Help = 38,
    SpecificDate = 40,
    DaysOfWeek = 41,
    Monthly = 42,
    DaySuffix = 43,
    AfterStart = 44,
    Minutes = 45,
    SkippedFrom = 46,
    SkippedTo = 47,
    NoDayMarked = 48,
    ShowDayInTray = 49,
    NoItemMarked = 50,
    OpenList = 51,
    Question = 52,
    DeleteQuestion = 53,
    Yes = 54,
    No = 55,
    CannotPlaySound = 56,
    ChooseSoundFile = 57,
    ChooseFileToOpen = 58,
    CannotPowerOff = 59,
    CannotRestart = 60,
    ChangesNotSaved = 61,
    ExitAndLoseChanges = 62,
};

// [Editor]: the reminder editor.
enum class EditorLine {
    CaptionNew = 1,
    CaptionEdit = 2,
    DayGroup = 3,
    TimeGroup = 4,
    Message = 5,
    Once = 6,
    Weekly = 7,
    Monday = 8,
    Tuesday = 9,
    Wednesday = 10,
    Thursday = 11,
    Friday = 12,
    Saturday = 13,
    Sunday = 14,
    Monthly = 15,
    MonthDay = 16,
    ShowAlert = 17,
    PlaySound = 18,
    FlashTray = 19,
    Click = 20,
    Ok = 21,
    Cancel = 22,
    When = 23,
    What = 24,
    Scheduled = 25,
    AfterStart = 26,
    StartDelay = 27,
    StartDelayUnit = 28,
    OpenFile = 29,
    ChooseHint = 30,
    TestHint = 31,
    StopHint = 32,
    Power = 33,
    PowerOff = 34,
    Reboot = 35,
    File = 36,
    NotFound = 37,
};

// [Message]: the alert window.
enum class AlertLine {
    MoveBy = 1,
    Minutes = 2,
    Ok = 3,
    Edit = 4,
};

// [MessageD]: the information dialog.
enum class InfoLine {
    Title = 1,
};

constexpr std::string_view sectionMarker(MainLine) {
    return "Main";
}
constexpr std::string_view sectionMarker(EditorLine) {
    return "Editor";
}
constexpr std::string_view sectionMarker(AlertLine) {
    return "Message";
}
constexpr std::string_view sectionMarker(InfoLine) {
    return "MessageD";
}
