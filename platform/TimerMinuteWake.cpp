#include "platform/TimerMinuteWake.h"

#ifndef _WIN32
#include <QDBusConnection>
#endif

TimerMinuteWake::TimerMinuteWake(std::chrono::milliseconds interval, QObject* parent)
    : MinuteWake(parent) {
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &MinuteWake::woke);
}

void TimerMinuteWake::start() {
    if (m_timer.isActive())
        return;
    m_timer.start();
#ifndef _WIN32
    // Without a system bus (or without logind) the timer alone wakes the program.
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(prepareForSleep(bool)));
#endif
}

void TimerMinuteWake::prepareForSleep(bool sleeping) {
    if (!sleeping)
        emit woke();
}
