#pragma once
// Points HOME, the XDG folders and a private runtime folder at a fresh temporary
// folder for the whole test program, so that no test touches the real user's files.

#include <string>

// The temporary home created by InstallTempHome (empty before).
const std::string& TempHome();
void InstallTempHome();
// A fresh empty folder below the temporary home.
std::string MakeTempFolder(const std::string& name);
