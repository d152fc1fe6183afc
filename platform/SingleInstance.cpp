#include "platform/SingleInstance.h"

#ifdef _WIN32
#include "platform/WinSingleInstance.h"
#else
#include "platform/LockFileSingleInstance.h"
#endif

SingleInstance::~SingleInstance() = default;

std::unique_ptr<SingleInstance> makeSingleInstance() {
#ifdef _WIN32
    return std::make_unique<WinSingleInstance>();
#else
    return std::make_unique<LockFileSingleInstance>(LockFileSingleInstance::defaultFolder());
#endif
}
