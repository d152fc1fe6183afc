// The Windows implementations of the platform services and folders, run under Wine: the
// real Win32 calls, except the one that would end the session.
#include "core/AppPaths.h"
#include "platform/DesktopVersion.h"
#include "platform/WinPowerControl.h"
#include "platform/WinSingleInstance.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

std::wstring widen(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
    return wide;
}

bool isFolder(const std::string& utf8) {
    const DWORD a = GetFileAttributesW(widen(utf8).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isAbsoluteWindowsPath(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path[1] == ':' && path[2] == '\\';
}

} // namespace

TEST(WinFolders, SpecialFoldersAndTheExecutableResolve) {
    for (FolderKind kind : {FolderKind::Data, FolderKind::Documents}) {
        const std::optional<std::string> folder = standardFolder(kind);
        ASSERT_TRUE(folder.has_value());
        EXPECT_TRUE(isAbsoluteWindowsPath(*folder)) << *folder;
        EXPECT_NE(folder->back(), '\\') << *folder;
        EXPECT_TRUE(isFolder(*folder)) << *folder;
    }
    EXPECT_NE(standardFolder(FolderKind::Data), standardFolder(FolderKind::Documents));

    const std::string exe = executablePath();
    EXPECT_TRUE(isAbsoluteWindowsPath(exe)) << exe;
    EXPECT_TRUE(exe.ends_with("\\windows_platform_tests.exe")) << exe;
    EXPECT_EQ(programFolder(), exe.substr(0, exe.rfind('\\') + 1));
    EXPECT_EQ(clickSoundPath(), programFolder() + "sounds\\click.wav");
    EXPECT_EQ(documentsFolder(), *standardFolder(FolderKind::Documents) + "\\");
}

TEST(WinFolders, TheDataFolderIsMadeInApplicationData) {
    const DataPaths paths = locateDataPaths();
    EXPECT_EQ(paths.error, "");
    EXPECT_EQ(paths.dataFolder, *standardFolder(FolderKind::Data) + "\\Chimewell");
    EXPECT_TRUE(isFolder(paths.dataFolder));
    EXPECT_EQ(paths.settingsFilePath, paths.dataFolder + "\\windows_platform_tests.ini");
    EXPECT_EQ(paths.reminderFilePath, paths.dataFolder + "\\things.mln");
}

// The user's application data folder as the shell's registry names it; HKCU, so only this
// Wine prefix's user is touched. Set, it is restored when the object goes.
class AppDataFolderSetting final {
public:
    static constexpr const wchar_t* Key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

    AppDataFolderSetting() {
        wchar_t value[MAX_PATH] = {};
        DWORD size = sizeof value;
        m_had = RegGetValueW(HKEY_CURRENT_USER, Key, L"AppData",
                             RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &m_type, value,
                             &size) == ERROR_SUCCESS;
        m_previous = value;
    }
    ~AppDataFolderSetting() {
        if (m_had)
            set(m_previous, m_type);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, Key, L"AppData");
    }
    AppDataFolderSetting(const AppDataFolderSetting&) = delete;
    AppDataFolderSetting& operator=(const AppDataFolderSetting&) = delete;

    bool set(const std::wstring& folder, DWORD type = REG_EXPAND_SZ) const {
        return RegSetKeyValueW(HKEY_CURRENT_USER, Key, L"AppData", type, folder.c_str(),
                               DWORD((folder.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

private:
    bool m_had = false;
    DWORD m_type = REG_EXPAND_SZ;
    std::wstring m_previous;
};

// A user name outside ASCII (a Russian one, say) puts the application data folder there too:
// the paths stay UTF-8 all the way and the folder is made under its real name.
TEST(WinFolders, AFolderNameOutsideAsciiSurvives) {
    const std::string Ivan = "\\\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd"; // "\\Иван" in UTF-8
    const std::wstring base =
        widen(*standardFolder(FolderKind::Data)) + L"\\\u0418\u0432\u0430\u043d";
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    DataPaths paths;
    {
        AppDataFolderSetting setting;
        ASSERT_TRUE(setting.set(base));
        ASSERT_TRUE(standardFolder(FolderKind::Data)->ends_with(Ivan)) << "not read back";
        paths = locateDataPaths();
    }
    EXPECT_EQ(paths.error, "");
    EXPECT_TRUE(paths.dataFolder.ends_with(Ivan + "\\Chimewell")) << paths.dataFolder;
    const DWORD a = GetFileAttributesW((base + L"\\Chimewell").c_str());
    EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0);
}

TEST(WinSingleInstance, TheMutexRefusesASecondHolderUntilTheFirstEnds) {
    {
        WinSingleInstance first;
        ASSERT_EQ(first.acquire().state, InstanceLock::State::Acquired);
        EXPECT_EQ(first.acquire().state, InstanceLock::State::Acquired) << "the holder keeps it";
        WinSingleInstance second;
        EXPECT_EQ(second.acquire().state, InstanceLock::State::HeldByAnother);
        // The mutex is visible by its name to any process of the session.
        HANDLE seen = OpenMutexW(SYNCHRONIZE, FALSE, L"Chimewell");
        EXPECT_NE(seen, nullptr);
        if (seen != nullptr)
            CloseHandle(seen);
    }
    WinSingleInstance after;
    EXPECT_EQ(after.acquire().state, InstanceLock::State::Acquired)
        << "the mutex outlived its holder";
}

namespace {

struct ExitCall {
    unsigned flags = 0;
    bool shutdownPrivilegeEnabled = false;
};
std::vector<ExitCall> exitCalls;
bool exitAnswer = true;

bool shutdownPrivilegeEnabled() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    PRIVILEGE_SET check{};
    check.PrivilegeCount = 1;
    check.Control = PRIVILEGE_SET_ALL_NECESSARY;
    BOOL enabled = FALSE;
    const bool ok =
        LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &check.Privilege[0].Luid) &&
        PrivilegeCheck(token, &check, &enabled);
    CloseHandle(token);
    return ok && enabled;
}

// Stands in for ExitWindowsEx: records the flags and whether the privilege was enabled.
bool recordExit(unsigned flags) {
    exitCalls.push_back({flags, shutdownPrivilegeEnabled()});
    return exitAnswer;
}

} // namespace

TEST(WinPowerControl, RequestsReachExitWindowsForcedWithThePrivilege) {
    struct Case {
        bool reboot;
        bool systemAccepts;
        unsigned expectedFlags;
    };
    for (const Case c :
         {Case{false, true, EWX_POWEROFF | EWX_FORCE}, Case{true, true, EWX_REBOOT | EWX_FORCE},
          Case{false, false, EWX_POWEROFF | EWX_FORCE}}) {
        SCOPED_TRACE(c.expectedFlags);
        exitCalls.clear();
        exitAnswer = c.systemAccepts;
        WinPowerControl power(recordExit);
        std::optional<bool> answer;
        if (c.reboot)
            power.requestReboot([&](const PowerControl::Reply& r) { answer = r.accepted; });
        else
            power.requestPowerOff([&](const PowerControl::Reply& r) { answer = r.accepted; });
        ASSERT_EQ(exitCalls.size(), 1u);
        EXPECT_EQ(exitCalls[0].flags, c.expectedFlags);
        EXPECT_TRUE(exitCalls[0].shutdownPrivilegeEnabled);
        EXPECT_EQ(answer, std::optional<bool>(c.systemAccepts));
    }
    // Without an answer wanted, the request is made all the same.
    exitCalls.clear();
    WinPowerControl(recordExit).requestPowerOff();
    EXPECT_EQ(exitCalls.size(), 1u);
}

// The version Wine reports is read, and the look follows its code: the own colour scheme
// only from Vista on.
TEST(DesktopVersion, TheReportedVersionIsReadAndDecidesTheLook) {
    const std::optional<WindowsVersion> version = queryWindowsVersion();
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->family, WindowsVersion::Family::WinNT);
    const int code = osVersionCode(version);
    EXPECT_GE(code, 2) << version->major << "." << version->minor;
    EXPECT_EQ(isNewerDesktop(), code == 10 || code == 11) << code;
}
