#pragma once
// A problem that no one may be there to read in a window (an action that failed among other
// alerts, a file not saved while the program ends): one line on standard error and in the
// system log, without waiting for anyone.

#include <string_view>

void writeToSystemLog(std::string_view line);
