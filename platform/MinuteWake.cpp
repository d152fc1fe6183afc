#include "platform/MinuteWake.h"

#include "platform/TimerMinuteWake.h"

#ifdef _WIN32
#include "platform/WinMinuteWake.h"
#else
#include "platform/TimerFdMinuteWake.h"

#include <QDBusConnection>
#endif

MinuteWake::~MinuteWake() = default;

void MinuteWake::wakeAfterSleep() {
#ifndef _WIN32
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(prepareForSleep(bool)));
#endif
}

void MinuteWake::prepareForSleep(bool sleeping) {
    if (!sleeping)
        emit woke();
}

std::unique_ptr<MinuteWake> createMinuteWake() {
#ifdef _WIN32
    return std::make_unique<WinMinuteWake>();
#else
    if (std::unique_ptr<MinuteWake> wake = TimerFdMinuteWake::create())
        return wake;
    return std::make_unique<TimerMinuteWake>();
#endif
}
