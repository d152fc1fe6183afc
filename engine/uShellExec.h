#pragma once
// Opens a file, document or program with the program the desktop associates with it.

#include <QString>

// Asks the desktop to open path; the result is not examined. GUI thread only.
void ShellOpen(const QString& path);
