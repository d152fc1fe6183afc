#include "platform/ShellOpen.h"

#include "platform/WinText.h"

#include <shellapi.h>

OpenAs openAsFor(const std::string&) {
    return OpenAs::Document;
}

void shellOpen(const std::string& path) {
    // The program's active window stands in as the parent of any dialog the shell shows.
    ShellExecuteW(GetActiveWindow(), L"open", widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
