#pragma once
// A whole file's bytes, for tests that look at what the program wrote; empty when the file
// cannot be read.

#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
