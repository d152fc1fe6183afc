#pragma once
// What a due reminder does besides its alert window: open its file, play its sound or
// the click, and "Sound off". Files are tested on a worker thread (a slow drive must not
// stop the window); the requests take effect in the order they were made, so when two
// reminders fall due together the later one's sound is the one heard to the end.

#include <string>

class QObject;
class SoundPlayer;

namespace ReminderActions {

// Paths are the system's bytes: a sound beside a program in a folder whose name is not UTF-8
// must still play.

// Opens path with the desktop's program for it, when it names an existing file.
void openFileAsync(QObject* context, const std::string& path);
// Plays the first of sound and fallback that names an existing file (a folder does not
// count) on the player, replacing a sound still playing; nothing when neither does. When
// the file chosen cannot be played, the failure goes to the system log and whenUnplayable
// plays in its place (its own failure is logged as well). The player must outlive context.
void playSoundAsync(QObject* context, SoundPlayer& player, const std::string& sound,
                    const std::string& fallback = {}, const std::string& whenUnplayable = {});
// Stops the player, in turn with the sounds asked for before.
void stopSound(QObject* context, SoundPlayer& player);

// True when path is not empty and names an existing file (not a folder).
bool isExistingFile(const std::string& path);

} // namespace ReminderActions
