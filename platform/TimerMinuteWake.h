#pragma once
// A MinuteWake on a repeating timer (every second by default), where the system has no timer
// at the wall clock's minutes. On Linux it also wakes when logind announces the end of a sleep
// (PrepareForSleep(false) on the system bus), so that the first look at the clock after a
// resume does not wait for the timer.

#include "platform/MinuteWake.h"

#include <QTimer>

#include <chrono>

class TimerMinuteWake final : public MinuteWake {
    Q_OBJECT
public:
    explicit TimerMinuteWake(std::chrono::milliseconds interval = std::chrono::seconds(1),
                             QObject* parent = nullptr);

    void start() override;
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};
