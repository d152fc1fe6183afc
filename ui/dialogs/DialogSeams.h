#pragma once
// Test seams of the program's two dialogs: a canned answer for the next question and
// a recorder that takes the place of the information dialog. The program never sets
// them; tests do.

#include <QString>
#include <functional>

// The next AskYesNo returns `yes` at once without showing anything; used once.
void SetNextAskYesNoAnswer(bool yes);

// While set, ShowInfo hands its text to `recorder` instead of showing the dialog;
// nullptr restores the dialog.
void SetShowInfoRecorder(std::function<void(const QString&)> recorder);
