#include "platform/DesktopVersion.h"

#include <gtest/gtest.h>

namespace {

using Family = WindowsVersion::Family;

struct VersionCase {
    std::optional<WindowsVersion> version;
    int code;
};

TEST(DesktopVersion, VersionCodesFollowTheVersionTable) {
    const VersionCase cases[] = {
        {std::nullopt, 0}, // the query failed
        {WindowsVersion{Family::Other, 6, 1, ""}, 0},
        {WindowsVersion{Family::Win9x, 3, 0, ""}, 1},
        {WindowsVersion{Family::Win9x, 4, 0, ""}, 3},
        {WindowsVersion{Family::Win9x, 4, 3, ""}, 1},
        {WindowsVersion{Family::Win9x, 4, 10, ""}, 4},
        {WindowsVersion{Family::Win9x, 4, 10, " A "}, 5},
        {WindowsVersion{Family::Win9x, 4, 10, "A"}, 4}, // "A" must be the second character
        {WindowsVersion{Family::Win9x, 4, 90, ""}, 6},
        {WindowsVersion{Family::WinNT, 3, 51, ""}, 2},
        {WindowsVersion{Family::WinNT, 4, 0, "Service Pack 6"}, 7},
        {WindowsVersion{Family::WinNT, 5, 0, ""}, 8},
        {WindowsVersion{Family::WinNT, 5, 1, "Service Pack 3"}, 9},
        {WindowsVersion{Family::WinNT, 5, 2, ""}, 2},
        {WindowsVersion{Family::WinNT, 6, 0, ""}, 10},
        {WindowsVersion{Family::WinNT, 6, 1, ""}, 11},
        // What later Windows reports without a compatibility manifest.
        {WindowsVersion{Family::WinNT, 6, 2, ""}, 11},
        {WindowsVersion{Family::WinNT, 6, 3, ""}, 11},
        // What they would report to a program that declares them.
        {WindowsVersion{Family::WinNT, 10, 0, ""}, 2},
    };
    for (const VersionCase& c : cases) {
        const std::string what = c.version ? std::to_string(static_cast<int>(c.version->family)) +
                                                 " " + std::to_string(c.version->major) + "." +
                                                 std::to_string(c.version->minor) + " '" +
                                                 c.version->servicePack + "'"
                                           : std::string("no answer");
        EXPECT_EQ(osVersionCode(c.version), c.code) << what;
    }
}

#ifndef _WIN32
TEST(DesktopVersion, EveryLinuxDesktopIsANewerOne) {
    EXPECT_TRUE(isNewerDesktop());
}
#endif

} // namespace
