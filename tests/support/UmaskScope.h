#pragma once
// Another umask while the scope lasts.

#include <sys/stat.h>

class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : m_old(::umask(mask)) {}
    UmaskScope(const UmaskScope&) = delete;
    UmaskScope& operator=(const UmaskScope&) = delete;
    ~UmaskScope() { ::umask(m_old); }

private:
    mode_t m_old;
};
