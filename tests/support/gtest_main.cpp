#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    InstallTempHome();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
