#pragma once
// Test seams of the program's two dialogs: a canned answer for the next question and
// a recorder that takes the place of the information dialog. The program never sets
// them; tests do.

#include <QString>
#include <functional>

// The next askYesNo returns `yes` at once without showing anything; used once.
void setNextAskYesNoAnswer(bool yes);

// While set, showInfo hands its text to `recorder` instead of showing the dialog;
// nullptr restores the dialog.
void setShowInfoRecorder(std::function<void(const QString&)> recorder);
