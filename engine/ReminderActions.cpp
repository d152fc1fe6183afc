#include "engine/ReminderActions.h"

#include "core/AppPaths.h"
#include "engine/AsyncTask.h"
#include "platform/ShellOpen.h"
#include "platform/SoundPlayer.h"
#include "platform/SystemLog.h"

namespace ReminderActions {

bool isExistingFile(const std::string& path) {
    return isRegularFile(path);
}

void openFileAsync(QObject* context, const std::string& path) {
    AsyncTask::runThenCallback(
        context, [path] { return isExistingFile(path); },
        [path](bool exists) {
            if (exists)
                shellOpen(path);
        });
}

namespace {
// Plays path; a failure is logged, and then whenUnplayable (when there is one) plays.
void playLoggingFailure(SoundPlayer& player, const std::string& path,
                        const std::string& whenUnplayable) {
    player.play(path, [&player, path, whenUnplayable](const std::string& reason, bool superseded) {
        writeToSystemLog("could not play " + path + ": " + reason);
        // The replacement must not cut off a sound asked for since.
        if (!superseded && !whenUnplayable.empty() && whenUnplayable != path)
            playLoggingFailure(player, whenUnplayable, {});
    });
}
} // namespace

void playSoundAsync(QObject* context, SoundPlayer& player, const std::string& sound,
                    const std::string& fallback, const std::string& whenUnplayable) {
    AsyncTask::runThenCallback(
        context,
        [sound, fallback] {
            if (isExistingFile(sound))
                return sound;
            return isExistingFile(fallback) ? fallback : std::string();
        },
        [&player, whenUnplayable](const std::string& chosen) {
            if (!chosen.empty())
                playLoggingFailure(player, chosen, whenUnplayable);
        });
}

void stopSound(QObject* context, SoundPlayer& player) {
    AsyncTask::runThenCallback(
        context, [] { return true; }, [&player](bool) { player.stop(); });
}

} // namespace ReminderActions
