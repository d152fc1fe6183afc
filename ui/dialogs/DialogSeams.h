#pragma once
// Test seams of the program's dialogs: a canned answer for the next question, a
// recorder that takes the place of the information dialog, and canned answers of the
// open-file dialog. The program never sets them; tests do.

#include <QString>
#include <functional>

class QWidget;

// Stands in for the open-file dialog: gets the parent, the folder the dialog would start
// in and its name filter, and returns the chosen path (empty for a cancelled dialog).
using FileChooser =
    std::function<QString(QWidget* parent, const QString& startFolder, const QString& filter)>;

// The next askYesNo returns `yes` at once without showing anything; used once.
void setNextAskYesNoAnswer(bool yes);

// While set, showInfo hands its text to `recorder` instead of showing the dialog;
// nullptr restores the dialog.
void setShowInfoRecorder(std::function<void(const QString&)> recorder);

// While set, chooseFileToOpen asks `chooser` instead of showing the dialog; nullptr
// restores the dialog.
void setFileChooser(FileChooser chooser);
