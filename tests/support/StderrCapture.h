#pragma once
// Sends the test's standard error to a file while it lives, so that what the program logs
// (also from later callbacks) can be read back.

#include "tests/support/ReadAll.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

class StderrCapture final {
public:
    explicit StderrCapture(std::string file) : m_file(std::move(file)), m_saved(::dup(2)) {
        std::fflush(stderr);
        const int fd = ::open(m_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~StderrCapture() {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // What has been written so far.
    std::string text() const {
        std::fflush(stderr);
        return ReadAll(m_file);
    }

private:
    std::string m_file;
    int m_saved;
};
