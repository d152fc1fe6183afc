// Power-off and reboot go to logind on the system bus: here a dbusmock logind on a private bus.
#include "ServiceProcesses.h"
#include "TempHome.h"
#include "uShotDownProcs.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

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

TEST_F(PowerTest, PowerOffAndRebootAskLogindWithoutInteraction) {
    struct Case {
        bool (*action)();
        const char* call;
        const char* other;
    };
    for (const Case& c : {Case{PowerOffComputer, "'PowerOff', [<false>]", "Reboot"},
                          Case{RebootComputer, "'Reboot', [<false>]", "PowerOff"}}) {
        SCOPED_TRACE(c.call);
        ASSERT_TRUE(mock_->clearCalls());
        EXPECT_TRUE(c.action());
        const std::string calls = mock_->calls();
        EXPECT_NE(calls.find(c.call), std::string::npos) << calls;
        EXPECT_EQ(calls.find(c.other), std::string::npos) << calls;
    }
}

TEST_F(PowerTest, RefusedOrUnsupportedRequestReportsFailure) {
    // Log-off (flags 0) has no counterpart here: refused without asking anybody.
    EXPECT_FALSE(ExitWindowsPrivileged(0));
    EXPECT_EQ(mock_->calls().find("PowerOff"), std::string::npos);

    // logind refusing (as polkit would): the call reports failure.
    const auto setReboot = [](const std::string& code) {
        return testsvc::RunCommand({"gdbus", "call", "--system", "--dest", "org.freedesktop.login1",
                                    "--object-path", "/org/freedesktop/login1", "--method",
                                    "org.freedesktop.DBus.Mock.AddMethod",
                                    "org.freedesktop.login1.Manager", "Reboot", "b", "", code});
    };
    ASSERT_TRUE(setReboot("raise dbus.exceptions.DBusException('refused', "
                          "name='org.freedesktop.DBus.Error.AccessDenied')"));
    EXPECT_FALSE(RebootComputer());
    EXPECT_TRUE(setReboot(""));
    EXPECT_TRUE(RebootComputer());
}
} // namespace
