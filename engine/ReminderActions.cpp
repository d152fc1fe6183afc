#include "engine/ReminderActions.h"

#include "engine/AsyncTask.h"
#include "platform/ShellOpen.h"
#include "platform/SoundPlayer.h"
#include "platform/SystemLog.h"

#include <QFileInfo>

namespace ReminderActions {

bool isExistingFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void openFileAsync(QObject* context, const QString& path) {
    AsyncTask::runThenCallback(
        context, [path] { return isExistingFile(path); },
        [path](bool exists) {
            if (exists)
                shellOpen(path.toStdString());
        });
}

namespace {
// Plays path; a failure is logged, and then whenUnplayable (when there is one) plays.
void playLoggingFailure(SoundPlayer& player, const QString& path, const QString& whenUnplayable) {
    player.play(path.toStdString(),
                [&player, path, whenUnplayable](const std::string& reason, bool superseded) {
                    writeToSystemLog(QStringLiteral("could not play %1: %2")
                                         .arg(path, QString::fromStdString(reason))
                                         .toStdString());
                    // The replacement must not cut off a sound asked for since.
                    if (!superseded && !whenUnplayable.isEmpty() && whenUnplayable != path)
                        playLoggingFailure(player, whenUnplayable, {});
                });
}
} // namespace

void playSoundAsync(QObject* context, SoundPlayer& player, const QString& sound,
                    const QString& fallback, const QString& whenUnplayable) {
    AsyncTask::runThenCallback(
        context,
        [sound, fallback] {
            if (isExistingFile(sound))
                return sound;
            return isExistingFile(fallback) ? fallback : QString();
        },
        [&player, whenUnplayable](const QString& chosen) {
            if (!chosen.isEmpty())
                playLoggingFailure(player, chosen, whenUnplayable);
        });
}

void stopSound(QObject* context, SoundPlayer& player) {
    AsyncTask::runThenCallback(
        context, [] { return true; }, [&player](bool) { player.stop(); });
}

} // namespace ReminderActions
