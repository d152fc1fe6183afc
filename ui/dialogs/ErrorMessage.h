#pragma once
// Errors the windows report to the user (a file that could not be read or written, a
// reminder that could not be saved): a warning box titled with the program's name.

#include <QString>

#include <functional>

void showErrorMessage(const QString& text);
// Test seam: while set, showErrorMessage hands its text to recorder instead of showing
// a box; an empty recorder puts the box back.
void setErrorMessageRecorderForTests(std::function<void(const QString&)> recorder);
