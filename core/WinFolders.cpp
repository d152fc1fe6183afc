// The desktop's folders on Windows from the shell, and the running executable from its module.
#include "core/AppPaths.h"
#include "core/SystemPaths.h"

#include <windows.h>

#include <shlobj.h>

namespace {

std::string toUtf8(const wchar_t* text, int length) {
    if (length <= 0)
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

} // namespace

std::optional<std::string> standardFolder(FolderKind kind) {
    const int csidl = kind == FolderKind::Data ? CSIDL_APPDATA : CSIDL_PERSONAL;
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::nullopt;
    std::wstring path(folder);
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    if (path.empty())
        return std::nullopt;
    return toUtf8(path.c_str(), static_cast<int>(path.size()));
}

std::string systemExecutablePath() {
    // Grows the buffer until the whole path fits (long paths exceed MAX_PATH).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size())
            return toUtf8(path.c_str(), static_cast<int>(n));
        path.resize(path.size() * 2);
    }
}
