#include "uStopSoundThread.h"

#include "ActionWorker.h"
#include "SoundPlayer.h"

void TStopSoundThread::Create(QObject* Own) {
    StartActionWorker(
        Own, [] { return true; }, [] { ProgramSoundPlayer().stop(); });
}
