// Which Qt platform the program asks for, from the session and the user's own choice.
#include "platform/SessionPlatform.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* what;
    SessionFacts facts;
    std::optional<std::string> platform;
};

TEST(SessionPlatform, ChoosesXWaylandWhereItCanAndLeavesTheUsersChoice) {
    const std::vector<std::string> plain{"Chimly"};
    const Case cases[] = {
        {"X11 session", {"", "x11", ":0", "", plain}, std::nullopt},
        {"no session at all", {"", "", "", "", plain}, std::nullopt},
        {"Wayland with XWayland", {"wayland-0", "wayland", ":0", "", plain}, "xcb"},
        {"Wayland socket alone marks the session", {"wayland-0", "", ":1", "", plain}, "xcb"},
        {"Wayland session type alone marks it", {"", "wayland", ":0", "", plain}, "xcb"},
        {"Wayland without XWayland", {"wayland-0", "wayland", "", "", plain}, "wayland"},
        {"tty session type is not Wayland", {"", "tty", ":0", "", plain}, std::nullopt},
        {"user set QT_QPA_PLATFORM",
         {"wayland-0", "wayland", ":0", "wayland", plain},
         std::nullopt},
        {"user set QT_QPA_PLATFORM without XWayland",
         {"wayland-0", "wayland", "", "xcb", plain},
         std::nullopt},
        {"user gave -platform",
         {"wayland-0", "wayland", ":0", "", {"Chimly", "-platform", "wayland"}},
         std::nullopt},
        {"user gave --platform",
         {"wayland-0", "wayland", ":0", "", {"Chimly", "--platform", "wayland"}},
         std::nullopt},
        {"-platform without a name is no choice",
         {"wayland-0", "wayland", ":0", "", {"Chimly", "-platform"}},
         "xcb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(choosePlatform(c.facts), c.platform) << c.what;
}

TEST(SessionPlatform, AddsThePlatformToTheCommandLineAndKeepsTheRest) {
    ::setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    ::setenv("DISPLAY", ":5", 1);
    ::unsetenv("QT_QPA_PLATFORM");
    char a0[] = "Chimly", a1[] = "-style", a2[] = "fusion";
    char* argv[] = {a0, a1, a2, nullptr};
    PlatformArguments chosen(3, argv);
    ASSERT_EQ(chosen.argc(), 5);
    std::vector<std::string> args(chosen.argv(), chosen.argv() + chosen.argc());
    EXPECT_EQ(args, (std::vector<std::string>{"Chimly", "-style", "fusion", "-platform", "xcb"}));
    EXPECT_EQ(chosen.argv()[5], nullptr);

    ::setenv("QT_QPA_PLATFORM", "wayland", 1);
    PlatformArguments left(3, argv);
    EXPECT_EQ(left.argc(), 3);
    EXPECT_EQ(left.argv()[1], argv[1]);
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
        ::unsetenv(name);
}

} // namespace
