#pragma once
// A folder on a small file system of its own, for tests of full disks and read-only folders:
// a tmpfs of a given size mounted on the folder in a private mount namespace (unshare -m),
// held open by a child process. The test process joins that namespace while the folder lives,
// so the test itself and every program it starts meanwhile see the small file system there;
// the rest of the machine never does.

#include "tests/engine/ServiceProcesses.h"

#include <string>

namespace testsvc {

class SizeLimitedFolder final {
public:
    SizeLimitedFolder() = default;
    SizeLimitedFolder(const SizeLimitedFolder&) = delete;
    SizeLimitedFolder& operator=(const SizeLimitedFolder&) = delete;
    ~SizeLimitedFolder() { stop(); }

    // Whether this process may make a mount namespace (root may; a container may forbid it).
    static bool namespacesPermitted(std::string* why);
    // Mounts a tmpfs of `size` ("600k") on folder, which must exist, and joins its namespace.
    // The process must have a single thread.
    bool start(const std::string& folder, const std::string& size, std::string* error);
    // A name in the folder.
    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    // Takes the space that is left with a file "filler"; free() removes it again.
    bool fill(std::string* error) const;
    void free() const;
    // Mounts the file system read-only, or writable again.
    bool setReadOnly(bool readOnly, std::string* error) const;
    // Back to the process's own namespace; the small file system goes with the holder.
    void stop();

private:
    ChildProcess holder_;
    std::string folder_;
    int ownNamespace_ = -1;
};

} // namespace testsvc
