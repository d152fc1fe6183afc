#pragma once
// A private temporary folder for one fuzzing process, where each input is written as the
// file the program would read. Removed when the process ends normally.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

inline const std::string& fuzzFolder() {
    // Never destroyed, so that the clean-up at exit still has it.
    static const std::string* const folder = [] {
        // In memory where there is such a file system: the saves sync their files.
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "chimewell-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(fuzzFolder(), ignored);
        });
        return new std::string(pattern);
    }();
    return *folder;
}

// Writes the bytes as the file `name` in the folder; its path.
inline std::string writeFuzzFile(const char* name, const unsigned char* data, std::size_t size) {
    const std::string path = fuzzFolder() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

// A property of the program that an input broke: said, then a crash libFuzzer keeps.
[[noreturn]] inline void fuzzFailure(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}
