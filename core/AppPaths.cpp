#include "core/AppPaths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* DataFolderName = "Chimewell";
constexpr const char* ReminderFileName = "things.mln";

std::string& executablePathOverride() {
    static std::string path;
    return path;
}

std::string envPath(const char* name) {
    const char* v = std::getenv(name);
    // Relative XDG paths are invalid and must be ignored.
    if (v == nullptr || *v == '\0' || (std::string(name) != "HOME" && v[0] != '/'))
        return {};
    return v;
}

std::string workingDirectory() {
    std::error_code ec;
    const fs::path p = fs::current_path(ec);
    return ec ? std::string() : p.string();
}

std::string stripTrailingSeparator(std::string p) {
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs ("$HOME/Documents" or an absolute path).
std::string xdgDocumentsDir(const std::string& home) {
    std::string config = envPath("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty())
        config = home + "/.config";
    if (config.empty())
        return {};
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string v = line.substr(key.size());
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0) {
            if (home.empty())
                return {};
            v = home + v.substr(5);
        }
        if (v.empty() || v[0] != '/')
            return {};
        return stripTrailingSeparator(v);
    }
    return {};
}

} // namespace

std::optional<std::string> standardFolder(FolderKind kind) {
    const std::string home = envPath("HOME");
    std::string result;
    if (kind == FolderKind::Data) {
        result = envPath("XDG_DATA_HOME");
        if (result.empty() && !home.empty())
            result = home + "/.local/share";
    } else {
        result = xdgDocumentsDir(home);
        if (result.empty())
            result = home;
    }
    if (result.empty())
        return std::nullopt;
    return stripTrailingSeparator(result);
}

std::string withTrailingSeparator(const std::string& path) {
    if (!path.empty() && path.back() == '/')
        return path;
    return path + "/";
}

std::string executablePath() {
    if (!executablePathOverride().empty())
        return executablePathOverride();
    std::error_code ec;
    const fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

void setExecutablePathForTests(const std::string& path) {
    executablePathOverride() = path;
}

std::string programFolder() {
    return withTrailingSeparator(fs::path(executablePath()).parent_path().string());
}

std::string soundsFolder() {
    return programFolder() + "sounds/";
}

std::string clickSoundPath() {
    return soundsFolder() + "click.wav";
}

std::string documentsFolder() {
    return withTrailingSeparator(
        standardFolder(FolderKind::Documents).value_or(workingDirectory()));
}

DataPaths locateDataPaths(bool useDataFolder) {
    const fs::path exe = executablePath();
    fs::path settingsName = exe.filename();
    settingsName.replace_extension(".ini");
    DataPaths paths;
    if (useDataFolder) {
        if (const auto home = standardFolder(FolderKind::Data)) {
            const std::string folder = *home + "/" + DataFolderName;
            std::error_code ec;
            if (!fs::is_directory(folder, ec)) {
                fs::create_directories(folder, ec);
                if (ec)
                    paths.error = "Unable to create the folder " + folder + ": " + ec.message();
            }
            if (fs::is_directory(folder, ec))
                paths.dataFolder = folder;
        }
    }
    if (!paths.dataFolder.empty()) {
        paths.settingsFilePath = (fs::path(paths.dataFolder) / settingsName).string();
        paths.reminderFilePath = withTrailingSeparator(paths.dataFolder) + ReminderFileName;
    } else {
        // No data folder: both files live beside the executable.
        paths.settingsFilePath = (exe.parent_path() / settingsName).string();
        paths.reminderFilePath = programFolder() + ReminderFileName;
    }
    return paths;
}
