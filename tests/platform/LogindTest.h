#pragma once
// A fixture for tests of what the program asks of or hears from logind: a dbusmock logind on
// a private bus that stands for the system bus. One bus for the whole test program, because
// Qt connects to the system bus once per process.

#include "tests/engine/ServiceProcesses.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

class LogindTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (bus_)
            return;
        bus_ = std::make_unique<testsvc::PrivateBus>();
        mock_ = std::make_unique<testsvc::LogindMock>();
        if (!bus_->start(&error_))
            return;
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus_->address().c_str(), 1);
        mock_->start(bus_->address(), MakeTempFolder("logind") + "/calls.log", &error_);
    }
    void SetUp() override {
        ASSERT_TRUE(error_.empty()) << error_;
        // Refuse to go on unless the login manager is the mock: never reach the real logind.
        ASSERT_TRUE(mock_->isMock()) << "org.freedesktop.login1 on the test bus is not a mock";
        ASSERT_TRUE(mock_->clearCalls());
    }

    // Both live until the test program ends, which stops them.
    static inline std::unique_ptr<testsvc::PrivateBus> bus_;
    static inline std::unique_ptr<testsvc::LogindMock> mock_;
    static inline std::string error_;
};
