#pragma once
// The user's own files: the folders the program makes are for the user alone (0700, the
// rule of the XDG base directories) and so are the files it makes (0600), whatever the
// umask. Files and folders that exist keep their modes.

#include <filesystem>
#include <system_error>

// Makes `folder` and each missing folder above it, giving every folder it makes the mode
// 0700. True when `folder` is a folder afterwards; otherwise `error` tells why.
[[nodiscard]] bool makePrivateFolders(const std::filesystem::path& folder, std::error_code& error);

// The mode of a file the program makes: read and write for its owner alone.
inline constexpr std::filesystem::perms PrivateFileMode =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

// The file that writing `path` reaches: a symbolic link followed to the path it names (also
// when nothing is there yet), through every link on the way; `path` itself when it is no link.
std::filesystem::path linkedFile(const std::filesystem::path& path);
