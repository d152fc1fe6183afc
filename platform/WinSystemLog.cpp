#include "platform/SystemLog.h"

#include "platform/WinText.h"

#include <cstdio>
#include <string>

void writeToSystemLog(std::string_view line) {
    const std::string text(line);
    std::fprintf(stderr, "Chimewell: %s\n", text.c_str());
    std::fflush(stderr);
    // The debugger's output stands for the system log: it never waits for a reader.
    OutputDebugStringW(widen("Chimewell: " + text + "\n").c_str());
}
