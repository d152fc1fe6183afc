// How opening a path treats it: which files count as programs, which as desktop entries.
#include "platform/ShellOpen.h"
#include "tests/support/TempHome.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(OpenAs, ProgramsNeedTheExecutePermissionAndAProgramsFirstBytes) {
    const std::string folder = MakeTempFolder("open-as");
    const auto file = [&](const std::string& name, const std::string& text, mode_t mode) {
        const std::string path = folder + "/" + name;
        std::ofstream(path) << text;
        ::chmod(path.c_str(), mode);
        return path;
    };
    struct Case {
        const char* what;
        std::string path;
        OpenAs expected;
    };
    const Case cases[] = {
        {"an ELF binary", "/usr/bin/true", OpenAs::Program},
        {"an executable script", file("backup.sh", "#!/bin/sh\n", 0755), OpenAs::Program},
        {"a script without the permission", file("plain.sh", "#!/bin/sh\n", 0644),
         OpenAs::Document},
        {"a document with the permission (as on a FAT drive)", file("report.txt", "Report\n", 0777),
         OpenAs::Document},
        {"an empty executable file", file("empty", "", 0755), OpenAs::Document},
        {"a desktop entry", file("calc.desktop", "[Desktop Entry]\n", 0644), OpenAs::DesktopEntry},
        {"an executable desktop entry", file("run.desktop", "[Desktop Entry]\n", 0755),
         OpenAs::DesktopEntry},
        {"a folder", folder, OpenAs::Document},
        {"a folder named like a desktop entry",
         (std::filesystem::create_directory(folder + "/dir.desktop"), folder + "/dir.desktop"),
         OpenAs::Document},
        {"a missing file", folder + "/missing.sh", OpenAs::Document},
    };
    for (const Case& c : cases)
        EXPECT_EQ(openAsFor(c.path), c.expected) << c.what;
}

} // namespace
