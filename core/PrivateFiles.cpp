#include "core/PrivateFiles.h"

#include <vector>

namespace fs = std::filesystem;

bool makePrivateFolders(const fs::path& folder, std::error_code& error) {
    error.clear();
    if (fs::is_directory(folder, error))
        return true;
    // The missing folders, innermost first.
    std::vector<fs::path> missing;
    fs::path p = folder.has_filename() ? folder : folder.parent_path();
    for (;;) {
        std::error_code ec;
        if (p.empty() || fs::exists(fs::symlink_status(p, ec)))
            break;
        missing.push_back(p);
        const fs::path parent = p.parent_path();
        if (parent == p)
            break;
        p = parent;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        // create_directory() gives false without an error for a folder made meanwhile by
        // someone else: that one keeps its mode.
        if (!fs::create_directory(*it, error)) {
            if (error)
                return false;
            continue;
        }
        fs::permissions(*it, fs::perms::owner_all, fs::perm_options::replace, error);
        if (error)
            return false;
    }
    if (fs::is_directory(folder, error))
        return true;
    if (!error)
        error = std::make_error_code(std::errc::not_a_directory);
    return false;
}

fs::path linkedFile(const fs::path& path) {
    fs::path p = path;
    // As many links as the system itself follows before it gives up.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)))
            return p;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec)
            return p;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p;
}
