// The lock file that keeps one instance per user: where it lives, and what a lock that cannot
// be taken says.
#include "core/AppPaths.h"
#include "platform/LockFileSingleInstance.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class RuntimeScope final {
public:
    explicit RuntimeScope(const char* value) : m_saved(std::getenv("XDG_RUNTIME_DIR")) {
        if (value == nullptr)
            ::unsetenv("XDG_RUNTIME_DIR");
        else
            ::setenv("XDG_RUNTIME_DIR", value, 1);
    }
    ~RuntimeScope() { ::setenv("XDG_RUNTIME_DIR", m_saved.c_str(), 1); }
    RuntimeScope(const RuntimeScope&) = delete;
    RuntimeScope& operator=(const RuntimeScope&) = delete;

private:
    std::string m_saved;
};

std::string SettingsFolder() {
    return fs::path(locateDataPaths().settingsFilePath).parent_path().string();
}

} // namespace

TEST(LockFileSingleInstance, TheRuntimeFolderHoldsTheLockOnlyWhenItIsTheUsersOwn) {
    const std::string own = MakeTempFolder("runtime");
    ::chmod(own.c_str(), 0700);
    const std::string shared = MakeTempFolder("shared");
    ::chmod(shared.c_str(), 01777);
    const struct {
        const char* runtime;
        std::string expected;
    } cases[] = {
        {own.c_str(), own},
        {nullptr, SettingsFolder()},
        {"", SettingsFolder()},
        {"relative/runtime", SettingsFolder()},
        {"/nonexistent/runtime", SettingsFolder()},
        {shared.c_str(), SettingsFolder()},
    };
    for (const auto& c : cases) {
        RuntimeScope scope(c.runtime);
        EXPECT_EQ(LockFileSingleInstance::defaultFolder().toStdString(), c.expected)
            << (c.runtime ? c.runtime : "(unset)");
    }
}

TEST(LockFileSingleInstance, ASecondHolderFindsTheLockHeldUntilTheFirstEnds) {
    const QString folder = QString::fromStdString(MakeTempFolder("lock"));
    {
        LockFileSingleInstance first(folder);
        ASSERT_EQ(first.acquire().state, InstanceLock::State::Acquired);
        EXPECT_EQ(first.acquire().state, InstanceLock::State::Acquired) << "the holder keeps it";
        LockFileSingleInstance second(folder);
        const InstanceLock refused = second.acquire();
        EXPECT_EQ(refused.state, InstanceLock::State::HeldByAnother);
        EXPECT_EQ(refused.error, "");
    }
    LockFileSingleInstance after(folder);
    EXPECT_EQ(after.acquire().state, InstanceLock::State::Acquired);
}

TEST(LockFileSingleInstance, ALockThatCannotBeTakenIsAFailureNamingThePath) {
    // Something that is not this program's lock stands at its name.
    const std::string blocked = MakeTempFolder("blocked");
    fs::create_directory(blocked + "/Chimewell.lock");
    // The folder is gone: nothing can be created there.
    const std::string missing = MakeTempFolder("missing") + "/gone";

    for (const std::string& folder : {blocked, missing}) {
        LockFileSingleInstance instance(QString::fromStdString(folder));
        const InstanceLock lock = instance.acquire();
        EXPECT_EQ(lock.state, InstanceLock::State::Failed) << folder;
        EXPECT_EQ(lock.error.rfind("cannot take the lock " + folder + "/Chimewell.lock: ", 0), 0u)
            << lock.error;
    }
}
