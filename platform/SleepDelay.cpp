#include "platform/SleepDelay.h"

#ifndef _WIN32
#include "platform/LogindSleepDelay.h"
#endif

SleepDelay::~SleepDelay() = default;

std::unique_ptr<SleepDelay> createSleepDelay() {
#ifdef _WIN32
    return nullptr;
#else
    return std::make_unique<LogindSleepDelay>();
#endif
}
