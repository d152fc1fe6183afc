#include "platform/ShellOpen.h"

#include "platform/WinText.h"

#include <shellapi.h>
#include <string_view>

OpenAs openAsFor(const std::string&) {
    return OpenAs::Document;
}

void shellOpen(const std::string& path) {
    // The program's active window stands in as the parent of any dialog the shell shows.
    ShellExecuteW(GetActiveWindow(), L"open", widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool shellOpenAddress(const std::string& address) {
    // A file address is opened as the plain path after its prefix, spaces and all.
    static constexpr std::string_view filePrefix = "file://";
    const std::string target =
        address.starts_with(filePrefix) ? address.substr(filePrefix.size()) : address;
    // Codes above 32 mean the shell opened it.
    const auto code = reinterpret_cast<INT_PTR>(ShellExecuteW(
        GetActiveWindow(), L"open", widen(target).c_str(), nullptr, nullptr, SW_SHOWNOACTIVATE));
    return code > 32;
}
