#include "platform/PowerControl.h"

#ifdef _WIN32
#include "platform/WinPowerControl.h"
#else
#include "platform/LogindPowerControl.h"
#endif

PowerControl::~PowerControl() = default;

namespace {
PowerControl* installedControl = nullptr;

PowerControl& platformControl() {
#ifdef _WIN32
    static WinPowerControl control;
#else
    static LogindPowerControl control;
#endif
    return control;
}
} // namespace

PowerControl& programPowerControl() {
    return installedControl != nullptr ? *installedControl : platformControl();
}

void setPowerControlForTests(PowerControl* control) {
    installedControl = control;
}
