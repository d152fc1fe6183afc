#pragma once
// What a reminder needs before it is saved, whoever made it: the editor and the session-bus
// interface refuse the same records.

#include "core/Reminder.h"

// The first entry a reminder lacks, in the order the editor checks them.
enum class MissingEntry {
    None,
    // A weekly reminder with no day marked.
    Weekday,
    // Nothing to do when it falls due ("with click" alone is no action).
    Action,
    // A sound to play or a file to open without its file.
    SoundFile,
    FileToOpen,
};

MissingEntry missingEntry(const Reminder& reminder);

// The record a new reminder starts from, at the moment now: the editor's defaults.
Reminder newReminderDefaults(Moment now);
