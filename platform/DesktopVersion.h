#pragma once
// Which desktop the program runs on, as far as its look is concerned: the newer desktops
// get the program's own colour scheme, the older ones keep the system colours.

#include <optional>
#include <string>

// What the Windows version query reports.
struct WindowsVersion {
    enum class Family { Other, Win9x, WinNT };
    Family family = Family::Other;
    unsigned major = 0;
    unsigned minor = 0;
    // The service-pack text, UTF-8 ("" when there is none).
    std::string servicePack;
};

// The desktop version as a small code, 0 to 11: 0 the query failed or the family is
// unknown; 1 another 9x version; 2 another NT version (10.0 included); 3 Windows 95; 4
// Windows 98; 5 Windows 98 Second Edition; 6 Windows Me; 7 NT 4; 8 Windows 2000; 9 XP;
// 10 Vista; 11 NT 6.1 and later 6.x (Windows 7, and every later Windows, which reports 6.2
// to a program that declares no compatibility with it).
[[nodiscard]] int osVersionCode(const std::optional<WindowsVersion>& version);

// Whether the desktop is a newer one, on which the program uses its colour scheme. Every
// Linux desktop counts as newer; on Windows it is Vista and later (codes 10 and 11).
[[nodiscard]] bool isNewerDesktop();

#ifdef _WIN32
// The version Windows reports to the program (GetVersionExW); empty when the query fails.
[[nodiscard]] std::optional<WindowsVersion> queryWindowsVersion();
#endif
