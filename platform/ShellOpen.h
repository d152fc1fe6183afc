#pragma once
// Opens a file, document or program with the program the desktop associates with it.

#include <string>

// Asks the desktop to open path (UTF-8); the result is not examined. GUI thread only.
void shellOpen(const std::string& path);
