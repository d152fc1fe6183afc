#include "platform/SystemLog.h"

#include <cstdio>
#include <string>
#include <syslog.h>

void writeToSystemLog(std::string_view line) {
    const std::string text(line);
    std::fprintf(stderr, "Chimewell: %s\n", text.c_str());
    std::fflush(stderr);
    ::syslog(LOG_USER | LOG_WARNING, "%s", text.c_str());
}
