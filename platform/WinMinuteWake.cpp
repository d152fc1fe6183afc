#include "platform/WinMinuteWake.h"

#include <QCoreApplication>

#include <windows.h>

namespace {
// FILETIME counts 100-ns steps.
constexpr ULONGLONG StepsPerMinute = 60ULL * 10'000'000ULL;
} // namespace

WinMinuteWake::WinMinuteWake(QObject* parent)
    : MinuteWake(parent), m_timer(CreateWaitableTimerW(nullptr, FALSE, nullptr)),
      m_notifier(m_timer) {
    m_notifier.setEnabled(false);
    connect(&m_notifier, &QWinEventNotifier::activated, this, &WinMinuteWake::expired);
}

WinMinuteWake::~WinMinuteWake() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
    m_notifier.setEnabled(false);
    if (m_timer != nullptr) {
        CancelWaitableTimer(m_timer);
        CloseHandle(m_timer);
    }
}

void WinMinuteWake::start() {
    if (isActive() || m_timer == nullptr)
        return;
    arm();
    m_notifier.setEnabled(true);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

void WinMinuteWake::arm() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG steps = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    LARGE_INTEGER due{};
    // A positive due time is absolute, in UTC: a clock set meanwhile moves it with the clock.
    due.QuadPart = static_cast<LONGLONG>((steps / StepsPerMinute + 1) * StepsPerMinute);
    SetWaitableTimer(m_timer, &due, 0, nullptr, nullptr, FALSE);
}

void WinMinuteWake::expired() {
    arm();
    emit woke();
}

bool WinMinuteWake::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "windows_generic_MSG")
        return false;
    const MSG* msg = static_cast<const MSG*>(message);
    const bool resumed = msg->message == WM_POWERBROADCAST && msg->wParam == PBT_APMRESUMEAUTOMATIC;
    if (msg->message == WM_TIMECHANGE || resumed) {
        arm();
        emit woke();
    }
    return false;
}
