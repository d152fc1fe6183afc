// Test main for a small screen at twice the pixel density: an offscreen screen of
// 1280 x 800 pixels with a scale factor of 2, so that windows have 640 x 400 to use.
#include "tests/support/TempHome.h"

#include <QApplication>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

int main(int argc, char** argv) {
    InstallTempHome();
    const std::string config = MakeTempFolder("screen") + "/screen.json";
    std::ofstream(config) << R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1280,)"
                          << R"( "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96}]})";
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    ::setenv("QT_SCALE_FACTOR", "2", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
