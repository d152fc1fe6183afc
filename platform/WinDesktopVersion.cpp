#include "platform/DesktopVersion.h"

#include <windows.h>

std::optional<WindowsVersion> queryWindowsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    // GetVersionExW on purpose: without a compatibility manifest every Windows after 8
    // reports 6.2 here and so counts as newer. RtlGetVersion would report 10.0, which
    // the version table counts as an unknown NT version.
#ifdef _MSC_VER
#pragma warning(push)
#pragma warning(disable : 4996)
#else
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const BOOL ok = GetVersionExW(&info);
#ifdef _MSC_VER
#pragma warning(pop)
#else
#pragma GCC diagnostic pop
#endif
    if (!ok)
        return std::nullopt;
    WindowsVersion version;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        version.family = WindowsVersion::Family::Win9x;
        break;
    case VER_PLATFORM_WIN32_NT:
        version.family = WindowsVersion::Family::WinNT;
        break;
    default:
        version.family = WindowsVersion::Family::Other;
        break;
    }
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    // Only plain letters and digits matter in the service-pack text ("Service Pack 2",
    // " A"); anything else becomes '?'.
    for (const wchar_t c : info.szCSDVersion) {
        if (c == L'\0')
            break;
        version.servicePack += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return version;
}

bool isNewerDesktop() {
    const int code = osVersionCode(queryWindowsVersion());
    return code == 10 || code == 11;
}
