// The start-up shortcut written through the shell under Wine, read back through the shell.
#include "core/AppPaths.h"
#include "platform/WinStartupShortcut.h"
#include "platform/WinText.h"

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct LinkContents {
    std::wstring target;
    std::wstring workingDirectory;
};

// A shell link's target and working directory, read through IShellLinkW.
std::optional<LinkContents> readLink(const std::wstring& file) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<LinkContents> contents;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            wchar_t target[MAX_PATH] = {};
            wchar_t folder[MAX_PATH] = {};
            if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
                SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)))
                contents = LinkContents{target, folder};
            persist->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return contents;
}

} // namespace

TEST(WinStartupShortcut, AShortcutWrittenThroughTheShellReadsBackWithItsTargetAndFolder) {
    WinStartupShortcut shortcut;
    const std::string path = shortcut.path();
    ASSERT_FALSE(path.empty()) << "no Startup folder in the registry";
    EXPECT_TRUE(path.ends_with("\\windows_platform_tests.lnk")) << path;
    shortcut.remove();
    ASSERT_FALSE(shortcut.exists());

    // Placed twice: the second replaces the first.
    for (int round = 0; round < 2; ++round) {
        const Status placed = shortcut.place();
        ASSERT_TRUE(placed) << placed.message();
        ASSERT_TRUE(shortcut.exists()) << "round " << round;
        const std::optional<LinkContents> link = readLink(widen(path));
        ASSERT_TRUE(link.has_value()) << "round " << round;
        EXPECT_EQ(narrow(link->target), executablePath());
        EXPECT_EQ(withTrailingSeparator(narrow(link->workingDirectory)), programFolder());
    }
    shortcut.remove();
    EXPECT_FALSE(shortcut.exists());
}
