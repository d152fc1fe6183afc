// The desktop's folders on Linux from the XDG variables and user-dirs.dirs, and the running
// executable from /proc.
#include "core/AppPaths.h"
#include "core/SystemPaths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string envPath(const char* name) {
    const char* v = std::getenv(name);
    // Relative XDG paths are invalid and must be ignored.
    if (v == nullptr || *v == '\0' || (std::string(name) != "HOME" && v[0] != '/'))
        return {};
    return v;
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

std::string systemExecutablePath() {
    std::error_code ec;
    const fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}
