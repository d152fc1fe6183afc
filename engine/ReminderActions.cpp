#include "engine/ReminderActions.h"

#include "engine/AsyncTask.h"
#include "platform/ShellOpen.h"
#include "platform/SoundPlayer.h"

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

void playSoundAsync(QObject* context, const QString& sound, const QString& fallback) {
    AsyncTask::runThenCallback(
        context,
        [sound, fallback] {
            if (isExistingFile(sound))
                return sound;
            return isExistingFile(fallback) ? fallback : QString();
        },
        [](const QString& chosen) {
            if (!chosen.isEmpty())
                programSoundPlayer().play(chosen.toStdString());
        });
}

void stopSound(QObject* context) {
    AsyncTask::runThenCallback(
        context, [] { return true; }, [](bool) { programSoundPlayer().stop(); });
}

} // namespace ReminderActions
