#pragma once
// The program's folders and the paths of its files: the program folder with its
// sounds, the per-user data folder with the settings and the reminder file, and the
// user's documents folder. Folder paths returned with a trailing separator say so.

#include <optional>
#include <string>
#include <vector>

enum class FolderKind { Data, Documents };

// The folder the desktop keeps for kind, without a trailing separator; nullopt when
// the lookup fails (no usable environment).
std::optional<std::string> standardFolder(FolderKind kind);

std::string withTrailingSeparator(const std::string& path);

// The running executable's full path, links resolved.
std::string executablePath();
// Test seam: executablePath() gives path from now on; an empty path undoes it.
void setExecutablePathForTests(const std::string& path);

// The executable's folder, with a trailing separator.
std::string programFolder();
// The folders the program's own files (the user guide, the language files, the sounds) are
// looked for in, in this order: the program folder, then share/chimewell two levels up from
// it, where an installation puts them beside lib/chimewell. With trailing separators.
std::vector<std::string> resourceFolders();
// The first of resourceFolders() that holds `name` (a file or folder, "Help.htm"), else the
// program folder; with a trailing separator.
std::string resourceFolder(const std::string& name);
// Where the program's own file `name` is: resourceFolder(name) + name.
std::string resourcePath(const std::string& name);
// The program's "sounds" folder, with a trailing separator.
std::string soundsFolder();
std::string clickSoundPath();
// True when path (UTF-8 on Windows, the system's bytes elsewhere) names an existing regular
// file, links followed.
bool isRegularFile(const std::string& path);
// The user's documents folder, else the home folder, else the working directory;
// with a trailing separator.
std::string documentsFolder();

struct DataPaths {
    // The per-user data folder, without a trailing separator; empty when the files
    // live beside the executable.
    std::string dataFolder;
    std::string settingsFilePath;
    std::string reminderFilePath;
    // Why the data folder could not be used; empty when nothing went wrong.
    std::string error;
};

// The data folder (created when missing) holds the settings and the reminder file.
// Without one (useDataFolder false, the lookup failing, or the folder impossible to
// create) both files live beside the executable.
[[nodiscard]] DataPaths locateDataPaths(bool useDataFolder = true);
