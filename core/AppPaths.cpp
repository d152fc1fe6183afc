#include "core/AppPaths.h"

#include "core/PrivateFiles.h"
#include "core/SystemPaths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* DataFolderName = "Chimewell";
constexpr const char* ReminderFileName = "things.mln";

#ifdef _WIN32
constexpr char Separator = '\\';
#else
constexpr char Separator = '/';
#endif

std::string& executablePathOverride() {
    static std::string path;
    return path;
}

// Paths are UTF-8 here; std::filesystem reads a plain string in the system code page on
// Windows, so every conversion goes through char8_t.
fs::path fromUtf8(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool endsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '/' || path.back() == Separator);
}

std::string workingDirectory() {
    std::error_code ec;
    const fs::path p = fs::current_path(ec);
    return ec ? std::string() : toUtf8(p);
}

} // namespace

std::string withTrailingSeparator(const std::string& path) {
    return endsWithSeparator(path) ? path : path + Separator;
}

std::string executablePath() {
    if (!executablePathOverride().empty())
        return executablePathOverride();
    return systemExecutablePath();
}

void setExecutablePathForTests(const std::string& path) {
    executablePathOverride() = path;
}

std::string programFolder() {
    return withTrailingSeparator(toUtf8(fromUtf8(executablePath()).parent_path()));
}

std::vector<std::string> resourceFolders() {
    const fs::path program = fromUtf8(programFolder());
    const fs::path installed = (program / ".." / ".." / "share" / "chimewell").lexically_normal();
    return {programFolder(), withTrailingSeparator(toUtf8(installed))};
}

std::string resourceFolder(const std::string& name) {
    for (const std::string& folder : resourceFolders()) {
        std::error_code ec;
        if (fs::exists(fromUtf8(folder + name), ec))
            return folder;
    }
    return programFolder();
}

std::string resourcePath(const std::string& name) {
    return resourceFolder(name) + name;
}

std::string soundsFolder() {
    return resourcePath("sounds") + Separator;
}

std::string clickSoundPath() {
    return soundsFolder() + "click.wav";
}

bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(fromUtf8(path), ec);
}

std::string documentsFolder() {
    return withTrailingSeparator(
        standardFolder(FolderKind::Documents).value_or(workingDirectory()));
}

DataPaths locateDataPaths(bool useDataFolder) {
    const fs::path exe = fromUtf8(executablePath());
    fs::path settingsName = exe.filename();
    settingsName.replace_extension(".ini");
    DataPaths paths;
    if (useDataFolder) {
        if (const auto home = standardFolder(FolderKind::Data)) {
            const std::string folder = withTrailingSeparator(*home) + DataFolderName;
            const fs::path folderPath = fromUtf8(folder);
            std::error_code ec;
            if (!makePrivateFolders(folderPath, ec))
                paths.error = "Unable to create the folder " + folder + ": " + ec.message();
            if (fs::is_directory(folderPath, ec))
                paths.dataFolder = folder;
        }
    }
    if (!paths.dataFolder.empty()) {
        paths.settingsFilePath = toUtf8(fromUtf8(paths.dataFolder) / settingsName);
        paths.reminderFilePath = withTrailingSeparator(paths.dataFolder) + ReminderFileName;
    } else {
        // No data folder: both files live beside the executable.
        paths.settingsFilePath = toUtf8(exe.parent_path() / settingsName);
        paths.reminderFilePath = programFolder() + ReminderFileName;
    }
    return paths;
}
