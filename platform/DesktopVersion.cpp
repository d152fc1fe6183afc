#include "platform/DesktopVersion.h"

int osVersionCode(const std::optional<WindowsVersion>& version) {
    if (!version)
        return 0;
    const unsigned major = version->major;
    const unsigned minor = version->minor;
    switch (version->family) {
    case WindowsVersion::Family::Win9x:
        if (major != 4)
            return 1;
        switch (minor) {
        case 0:
            return 3;
        case 10:
            // The Second Edition says so in the second character of its service-pack text.
            return version->servicePack.size() > 1 && version->servicePack[1] == 'A' ? 5 : 4;
        case 90:
            return 6;
        default:
            return 1;
        }
    case WindowsVersion::Family::WinNT:
        switch (major) {
        case 4:
            return 7;
        case 5:
            return minor == 0 ? 8 : minor == 1 ? 9 : 2;
        case 6:
            return minor == 0 ? 10 : 11;
        default:
            return 2;
        }
    case WindowsVersion::Family::Other:
        break;
    }
    return 0;
}

#ifndef _WIN32
bool isNewerDesktop() {
    return true;
}
#endif
