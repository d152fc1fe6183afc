#include "platform/MinuteWake.h"

#include "platform/TimerMinuteWake.h"

MinuteWake::~MinuteWake() = default;

std::unique_ptr<MinuteWake> createMinuteWake() {
    return std::make_unique<TimerMinuteWake>();
}
