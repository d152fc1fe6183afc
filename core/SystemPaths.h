#pragma once
// The operating system's own answer for the running executable, behind executablePath()
// (which tests can override): /proc on Linux, the module file name on Windows.

#include <string>

// The running executable's full path in UTF-8, links resolved; empty when unknown.
std::string systemExecutablePath();
