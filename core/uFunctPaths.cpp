// Folders and file paths of the program.
#include "uFunct.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

int DataFolderId = 0;
std::string DataFolder;

namespace {

constexpr const char* FolderName = "Chimewell";
constexpr const char* ThingsFileName = "things.mln";

std::string& ExePathOverride() {
    static std::string path;
    return path;
}

// Where SettingsFilePath put the settings file, and whether DataFolder exists.
std::string& SettingsPathFormed() {
    static std::string path;
    return path;
}
bool dataFolderReady = false;

std::string EnvPath(const char* name) {
    const char* v = std::getenv(name);
    // Relative XDG paths are invalid and must be ignored.
    if (v == nullptr || *v == '\0' || (std::string(name) != "HOME" && v[0] != '/'))
        return {};
    return v;
}

std::string WorkingDirectory() {
    std::error_code ec;
    const fs::path p = fs::current_path(ec);
    return ec ? std::string() : p.string();
}

std::string StripTrailingSeparator(std::string p) {
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs ("$HOME/Documents" or an absolute path).
std::string XdgDocumentsDir(const std::string& home) {
    std::string config = EnvPath("XDG_CONFIG_HOME");
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
        return StripTrailingSeparator(v);
    }
    return {};
}

std::string IniNameOf(const fs::path& exe) {
    fs::path name = exe.filename();
    name.replace_extension(".ini");
    return name.string();
}

} // namespace

std::string ExecutablePath() {
    if (!ExePathOverride().empty())
        return ExePathOverride();
    std::error_code ec;
    const fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

void SetExecutablePath(const std::string& path) {
    ExePathOverride() = path;
}

std::string ExeFolder() {
    const fs::path exe = ExecutablePath();
    return WithTrailingBackslash(exe.parent_path().string());
}

std::string WithTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '/')
        return path;
    return path + "/";
}

std::string SpecialFolder(int id) {
    const std::string home = EnvPath("HOME");
    std::string result;
    if (id == CSIDL_APPDATA) {
        result = EnvPath("XDG_DATA_HOME");
        if (result.empty() && !home.empty())
            result = home + "/.local/share";
    } else if (id == CSIDL_PERSONAL) {
        result = XdgDocumentsDir(home);
        if (result.empty())
            result = home;
    }
    return result.empty() ? WorkingDirectory() : StripTrailingSeparator(result);
}

std::string DocumentsFolder() {
    return WithTrailingBackslash(SpecialFolder(CSIDL_PERSONAL));
}

std::string SettingsFilePath() {
    const fs::path exe = ExecutablePath();
    fs::path result = exe;
    result.replace_extension(".ini");
    dataFolderReady = false;
    if (DataFolderId > 0) {
        const std::string f = SpecialFolder(DataFolderId);
        if (f != WorkingDirectory()) {
            DataFolder = f + "/" + FolderName;
            std::error_code ec;
            if (!fs::is_directory(DataFolder, ec)) {
                fs::create_directories(DataFolder, ec);
                if (ec)
                    ShowCoreMessage("Unable to create the folder " + DataFolder + ": " +
                                    ec.message());
            }
            if (fs::is_directory(DataFolder, ec)) {
                dataFolderReady = true;
                result = fs::path(DataFolder) / IniNameOf(exe);
            }
        }
    }
    SettingsPathFormed() = result.string();
    return SettingsPathFormed();
}

std::string ThingsFilePath() {
    if (dataFolderReady)
        return WithTrailingBackslash(DataFolder) + ThingsFileName;
    // No data folder: the table lives beside the settings file.
    const std::string settings =
        SettingsPathFormed().empty() ? SettingsFilePath() : SettingsPathFormed();
    return WithTrailingBackslash(fs::path(settings).parent_path().string()) + ThingsFileName;
}

std::string SoundsFolder() {
    return WithTrailingBackslash(ExeFolder()) + "sounds/";
}

std::string ClickSoundPath() {
    return SoundsFolder() + "click.wav";
}
