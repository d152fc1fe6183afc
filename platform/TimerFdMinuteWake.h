#pragma once
// The minute wake on Linux: a CLOCK_REALTIME timerfd armed for the next whole minute of
// the wall clock, so that the program sleeps between minutes. The kernel cancels the timer
// when the clock is set (by hand, or by NTP in a step), which wakes it at once; logind's
// end of sleep wakes it too. A wake need not fall on a minute (a clock moved some other
// way cancels nothing, and the next minute is at most a minute away): the receiver reads
// the clock and compares whole minutes.

#include "platform/MinuteWake.h"

#include <QSocketNotifier>

#include <memory>

class TimerFdMinuteWake final : public MinuteWake {
    Q_OBJECT
public:
    // Null when the system gives no such timer.
    static std::unique_ptr<TimerFdMinuteWake> create(QObject* parent = nullptr);
    ~TimerFdMinuteWake() override;

    void start() override;
    bool isActive() const override { return m_notifier.isEnabled(); }

private:
    TimerFdMinuteWake(int fd, QObject* parent);
    // Sets the timer for the next minute of the wall clock as it reads now.
    void arm();
    void expired();

    const int m_fd;
    QSocketNotifier m_notifier;
};
