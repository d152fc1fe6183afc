#include "uExecProgThread.h"

#include "ActionWorker.h"
#include "uShellExec.h"

void TExecProgThread::Create(QObject* Own, const QString& PPath) {
    StartActionWorker(
        Own, [PPath] { return IsExistingFile(PPath); }, [PPath] { ShellOpen(PPath); });
}
