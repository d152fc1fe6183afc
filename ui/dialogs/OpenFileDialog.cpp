#include "ui/dialogs/OpenFileDialog.h"

#include "ui/dialogs/DialogSeamsDetail.h"

#include <QFileDialog>

QString chooseFileToOpen(QWidget* parent, const QString& startFolder, const QString& filter) {
    if (const FileChooser& chooser = dialog_seams::fileChooser())
        return chooser(parent, startFolder, filter);
    return QFileDialog::getOpenFileName(parent, QString(), startFolder, filter);
}
