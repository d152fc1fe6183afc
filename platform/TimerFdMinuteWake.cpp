#include "platform/TimerFdMinuteWake.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

std::unique_ptr<TimerFdMinuteWake> TimerFdMinuteWake::create(QObject* parent) {
    const int fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<TimerFdMinuteWake>(new TimerFdMinuteWake(fd, parent));
}

TimerFdMinuteWake::TimerFdMinuteWake(int fd, QObject* parent)
    : MinuteWake(parent), m_fd(fd), m_notifier(fd, QSocketNotifier::Read) {
    m_notifier.setEnabled(false);
    connect(&m_notifier, &QSocketNotifier::activated, this, &TimerFdMinuteWake::expired);
}

TimerFdMinuteWake::~TimerFdMinuteWake() {
    m_notifier.setEnabled(false);
    ::close(m_fd);
}

void TimerFdMinuteWake::start() {
    if (isActive())
        return;
    arm();
    m_notifier.setEnabled(true);
    wakeAfterSleep();
}

void TimerFdMinuteWake::arm() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    itimerspec at{};
    at.it_value.tv_sec = (now.tv_sec / 60 + 1) * 60;
    timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &at, nullptr);
}

void TimerFdMinuteWake::expired() {
    std::uint64_t expirations = 0;
    // ECANCELED: the clock was set. EAGAIN: nothing expired after all; the timer stays.
    if (::read(m_fd, &expirations, sizeof expirations) < 0 && errno == EAGAIN)
        return;
    arm();
    emit woke();
}
