#include "platform/TimerMinuteWake.h"

TimerMinuteWake::TimerMinuteWake(std::chrono::milliseconds interval, QObject* parent)
    : MinuteWake(parent) {
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &MinuteWake::woke);
}

void TimerMinuteWake::start() {
    if (m_timer.isActive())
        return;
    m_timer.start();
    wakeAfterSleep();
}
