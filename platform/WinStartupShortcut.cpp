#include "platform/WinStartupShortcut.h"

#include "core/AppPaths.h"

#include "platform/WinText.h"

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

namespace {

// The "Startup" value of the current user's shell folders; the key is opened, never
// created. Empty when the key or the value is missing.
std::wstring startupFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    std::wstring folder;
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, L"Startup", nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && bytes > 0) {
        std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, L"Startup", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(value.data()), &bytes) == ERROR_SUCCESS)
            folder = value.c_str(); // up to the terminating null, stored or not
        if (type == REG_EXPAND_SZ && !folder.empty()) {
            std::wstring expanded(32768, L'\0');
            const DWORD n = ExpandEnvironmentStringsW(folder.c_str(), expanded.data(),
                                                      static_cast<DWORD>(expanded.size()));
            folder = n > 0 && n <= expanded.size() ? expanded.c_str() : L"";
        }
    }
    RegCloseKey(key);
    return folder;
}

// The running executable's full path.
std::wstring executableFile() {
    return widen(executablePath());
}

std::wstring shortcutFile() {
    std::wstring folder = startupFolder();
    const std::wstring exe = executableFile();
    if (folder.empty() || exe.empty())
        return {};
    std::wstring name = exe.substr(exe.find_last_of(L"\\/") + 1);
    if (const std::size_t dot = name.find_last_of(L'.'); dot != std::wstring::npos)
        name.resize(dot);
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + name + L".lnk";
}

bool fileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Writes the link through IShellLinkW and IPersistFile; the first step that fails gives
// its result.
HRESULT saveLink(const std::wstring& link, const std::wstring& target) {
    const std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
    // The GUI thread has COM already; this only makes sure of it.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* shellLink = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, reinterpret_cast<void**>(&shellLink));
    if (SUCCEEDED(result)) {
        result = shellLink->SetPath(target.c_str());
        if (SUCCEEDED(result))
            result = shellLink->SetWorkingDirectory(folder.c_str());
        IPersistFile* file = nullptr;
        if (SUCCEEDED(result))
            result = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        if (SUCCEEDED(result)) {
            result = file->Save(link.c_str(), FALSE);
            file->Release();
        }
        shellLink->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}

} // namespace

std::string WinStartupShortcut::path() const {
    return narrow(shortcutFile());
}

bool WinStartupShortcut::exists() const {
    const std::wstring link = shortcutFile();
    return !link.empty() && fileExists(link);
}

Status WinStartupShortcut::place() {
    const std::wstring link = shortcutFile();
    if (link.empty())
        return Status::failure("Unable to write the start-up shortcut: the registry names no "
                               "Startup folder");
    if (fileExists(link))
        DeleteFileW(link.c_str());
    if (const HRESULT saved = saveLink(link, executableFile()); FAILED(saved)) {
        Status status = Status::failure("Unable to write " + narrow(link));
        status.reason = systemErrorText(static_cast<DWORD>(saved));
        return status;
    }
    return {};
}

void WinStartupShortcut::remove() {
    const std::wstring link = shortcutFile();
    if (!link.empty() && fileExists(link))
        DeleteFileW(link.c_str());
}
