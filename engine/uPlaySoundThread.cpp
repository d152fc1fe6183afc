#include "uPlaySoundThread.h"

#include "ActionWorker.h"
#include "SoundPlayer.h"

void TPlaySoundThread::Create(QObject* Own, const QString& SPath) {
    StartActionWorker(
        Own, [SPath] { return IsExistingFile(SPath); },
        [SPath] { ProgramSoundPlayer().play(SPath); });
}
