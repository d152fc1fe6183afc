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
std::optional<PowerControl::Reply> Ask(void (PowerControl::*request)(PowerControl::Answer)) {
    std::optional<PowerControl::Reply> answer;
    LogindPowerControl logind;
    (logind.*request)([&answer](const PowerControl::Reply& reply) { answer = reply; });
    (void)QTest::qWaitFor([&answer] { return answer.has_value(); }, 20000);
    return answer;
}

// Whether the request was taken; nullopt when no answer came.
std::optional<bool> Accepted(void (PowerControl::*request)(PowerControl::Answer)) {
    const auto reply = Ask(request);
    return reply ? std::optional<bool>(reply->accepted) : std::nullopt;
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
        EXPECT_EQ(Accepted(c.request), true);
        const std::string calls = mock_->calls();
        EXPECT_NE(calls.find(c.call), std::string::npos) << calls;
        EXPECT_EQ(calls.find(c.other), std::string::npos) << calls;
    }
}

TEST_F(PowerTest, ARefusedRequestIsAnsweredWithLogindsReasonWithoutBlocking) {
    // logind refusing (as polkit would): the answer reports failure with logind's words.
    const auto setReboot = [](const std::string& code) {
        return testsvc::RunCommand({"gdbus", "call", "--system", "--dest", "org.freedesktop.login1",
                                    "--object-path", "/org/freedesktop/login1", "--method",
                                    "org.freedesktop.DBus.Mock.AddMethod",
                                    "org.freedesktop.login1.Manager", "Reboot", "b", "", code});
    };
    ASSERT_TRUE(setReboot("raise dbus.exceptions.DBusException('Interactive authentication "
                          "required.', name='org.freedesktop.DBus.Error.InteractiveAuthorization"
                          "Required')"));
    const auto refused = Ask(&PowerControl::requestReboot);
    ASSERT_TRUE(refused.has_value());
    EXPECT_FALSE(refused->accepted);
    EXPECT_EQ(refused->error, "Interactive authentication required.");
    EXPECT_TRUE(setReboot(""));
    const auto taken = Ask(&PowerControl::requestReboot);
    ASSERT_TRUE(taken.has_value());
    EXPECT_TRUE(taken->accepted);
    EXPECT_EQ(taken->error, "");

    // The request returns before logind answers: a slow manager does not hold the caller.
    ASSERT_TRUE(setReboot("import time; time.sleep(2)"));
    LogindPowerControl logind;
    bool answered = false;
    const auto t0 = std::chrono::steady_clock::now();
    logind.requestReboot([&answered](const PowerControl::Reply&) { answered = true; });
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 1s);
    EXPECT_FALSE(answered);
    EXPECT_TRUE(QTest::qWaitFor([&answered] { return answered; }, 20000));
    EXPECT_TRUE(setReboot(""));
}
} // namespace
