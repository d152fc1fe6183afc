#include "platform/PowerControl.h"

#ifdef _WIN32
#include "platform/WinPowerControl.h"
#else
#include "platform/LogindPowerControl.h"
#endif

PowerControl::~PowerControl() = default;

std::unique_ptr<PowerControl> createPowerControl() {
#ifdef _WIN32
    return std::make_unique<WinPowerControl>();
#else
    return std::make_unique<LogindPowerControl>();
#endif
}
