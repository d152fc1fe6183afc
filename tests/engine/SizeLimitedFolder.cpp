#include "tests/engine/SizeLimitedFolder.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sched.h>
#include <unistd.h>

namespace testsvc {

namespace {

// Joins the mount namespace of the file ns (a /proc/PID/ns/mnt); the working folder stays.
bool joinNamespace(int ns, std::string* error) {
    char cwd[PATH_MAX];
    const bool haveCwd = ::getcwd(cwd, sizeof cwd) != nullptr;
    if (::setns(ns, CLONE_NEWNS) != 0) {
        if (error)
            *error = std::string("setns: ") + std::strerror(errno);
        return false;
    }
    if (haveCwd) [[maybe_unused]]
        const int ignored = ::chdir(cwd);
    return true;
}

} // namespace

bool SizeLimitedFolder::namespacesPermitted(std::string* why) {
    if (RunCommand({"unshare", "--mount", "true"}, {}, 30s))
        return true;
    if (why)
        *why = "unshare --mount is not permitted here (it needs CAP_SYS_ADMIN)";
    return false;
}

bool SizeLimitedFolder::start(const std::string& folder, const std::string& size,
                              std::string* error) {
    stop();
    folder_ = folder;
    ChildProcess::Options options;
    options.pipeFd = 1;
    options.quiet = false;
    // The mount is private to the namespace, which lives as long as the sleeping holder.
    if (!holder_.start({"unshare", "--mount", "--propagation", "private", "sh", "-c",
                        "mount -t tmpfs -o size=\"$1\",mode=0755 chimewell-test \"$0\" && "
                        "echo mounted && exec sleep 86400",
                        folder, size},
                       options, error))
        return false;
    if (holder_.readLine(60s) != std::optional<std::string>("mounted")) {
        if (error)
            *error = "the tmpfs could not be mounted on " + folder;
        holder_.stop();
        return false;
    }
    ownNamespace_ = ::open("/proc/self/ns/mnt", O_RDONLY | O_CLOEXEC);
    const int theirs = ::open(("/proc/" + std::to_string(holder_.pid()) + "/ns/mnt").c_str(),
                              O_RDONLY | O_CLOEXEC);
    const bool joined = ownNamespace_ >= 0 && theirs >= 0 && joinNamespace(theirs, error);
    if (theirs >= 0)
        ::close(theirs);
    if (!joined) {
        stop();
        return false;
    }
    return true;
}

void SizeLimitedFolder::stop() {
    if (ownNamespace_ >= 0) {
        joinNamespace(ownNamespace_, nullptr);
        ::close(ownNamespace_);
        ownNamespace_ = -1;
    }
    holder_.stop();
}

bool SizeLimitedFolder::fill(std::string* error) const {
    const int fd = ::open(path("filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (error)
            *error = std::string("filler: ") + std::strerror(errno);
        return false;
    }
    const std::string block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    const bool full = errno == ENOSPC;
    // The last partial page too.
    while (full && ::write(fd, block.data(), 1) > 0) {
    }
    ::close(fd);
    if (!full && error)
        *error = std::string("filling stopped: ") + std::strerror(errno);
    return full;
}

void SizeLimitedFolder::free() const {
    std::error_code ignored;
    std::filesystem::remove(path("filler"), ignored);
}

bool SizeLimitedFolder::setReadOnly(bool readOnly, std::string* error) const {
    if (RunCommand({"mount", "-o", readOnly ? "remount,ro" : "remount,rw", folder_}, {}, 30s))
        return true;
    if (error)
        *error = "remounting " + folder_ + " failed";
    return false;
}

} // namespace testsvc
