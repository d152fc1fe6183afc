// Power-off and reboot go to logind on the system bus: here a dbusmock logind on a private bus.
#include "platform/LogindPowerControl.h"
#include "tests/platform/LogindTest.h"

#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <optional>

using namespace std::chrono_literals;

namespace {
using PowerTest = LogindTest;

// Sends the request and waits for logind's answer; nullopt when none came.
std::optional<bool> Ask(void (PowerControl::*request)(PowerControl::Answer)) {
    std::optional<bool> answer;
    LogindPowerControl logind;
    (logind.*request)([&answer](bool accepted) { answer = accepted; });
    (void)QTest::qWaitFor([&answer] { return answer.has_value(); }, 20000);
    return answer;
}

TEST_F(PowerTest, PowerOffAndRebootAskLogindWithoutInteraction) {
    struct Case {
        void (PowerControl::*request)(PowerControl::Answer);
        const char* call;
        const char* other;
    };
    for (const Case& c : {Case{&PowerControl::requestPowerOff, "'PowerOff', [<false>]", "Reboot"},
                          Case{&PowerControl::requestReboot, "'Reboot', [<false>]", "PowerOff"}}) {
        SCOPED_TRACE(c.call);
        ASSERT_TRUE(mock_->clearCalls());
        EXPECT_EQ(Ask(c.request), true);
        const std::string calls = mock_->calls();
        EXPECT_NE(calls.find(c.call), std::string::npos) << calls;
        EXPECT_EQ(calls.find(c.other), std::string::npos) << calls;
    }
}

TEST_F(PowerTest, ARefusedRequestIsAnsweredFalseWithoutBlocking) {
    // logind refusing (as polkit would): the answer reports failure.
    const auto setReboot = [](const std::string& code) {
        return testsvc::RunCommand({"gdbus", "call", "--system", "--dest", "org.freedesktop.login1",
                                    "--object-path", "/org/freedesktop/login1", "--method",
                                    "org.freedesktop.DBus.Mock.AddMethod",
                                    "org.freedesktop.login1.Manager", "Reboot", "b", "", code});
    };
    ASSERT_TRUE(setReboot("raise dbus.exceptions.DBusException('refused', "
                          "name='org.freedesktop.DBus.Error.AccessDenied')"));
    EXPECT_EQ(Ask(&PowerControl::requestReboot), false);
    EXPECT_TRUE(setReboot(""));
    EXPECT_EQ(Ask(&PowerControl::requestReboot), true);

    // The request returns before logind answers: a slow manager does not hold the caller.
    ASSERT_TRUE(setReboot("import time; time.sleep(2)"));
    LogindPowerControl logind;
    bool answered = false;
    const auto t0 = std::chrono::steady_clock::now();
    logind.requestReboot([&answered](bool) { answered = true; });
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 1s);
    EXPECT_FALSE(answered);
    EXPECT_TRUE(QTest::qWaitFor([&answered] { return answered; }, 20000));
    EXPECT_TRUE(setReboot(""));
}
} // namespace
