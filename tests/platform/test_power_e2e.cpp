// Power-off and reboot go to logind on the system bus: here a dbusmock logind on a private bus.
#include "platform/LogindPowerControl.h"
#include "tests/engine/ServiceProcesses.h"
#include "tests/support/TempHome.h"

#include <QTest>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace std::chrono_literals;

namespace {
class PowerTest : public ::testing::Test {
protected:
    // One bus for the whole program: Qt connects to the system bus once per process.
    static void SetUpTestSuite() {
        bus_ = std::make_unique<testsvc::PrivateBus>();
        mock_ = std::make_unique<testsvc::LogindMock>();
        if (!bus_->start(&error_))
            return;
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus_->address().c_str(), 1);
        mock_->start(bus_->address(), MakeTempFolder("logind") + "/calls.log", &error_);
    }
    static void TearDownTestSuite() {
        mock_.reset();
        bus_.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(error_.empty()) << error_;
        // Refuse to go on unless the login manager is the mock: never reach the real logind.
        ASSERT_TRUE(mock_->isMock()) << "org.freedesktop.login1 on the test bus is not a mock";
        ASSERT_TRUE(mock_->clearCalls());
    }

    static inline std::unique_ptr<testsvc::PrivateBus> bus_;
    static inline std::unique_ptr<testsvc::LogindMock> mock_;
    static inline std::string error_;
};

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
