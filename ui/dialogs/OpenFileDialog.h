#pragma once
// The system's open-file dialog, which tests replace with canned answers
// (setFileChooser in DialogSeams.h).

#include <QString>

class QWidget;

// Asks the user for a file to open, starting in startFolder with a Qt name filter;
// returns the chosen path, or an empty text when the user cancelled.
QString chooseFileToOpen(QWidget* parent, const QString& startFolder, const QString& filter);
