#pragma once
// The minute wake on Windows: a waitable timer set for the next whole minute of the wall
// clock, so that the program sleeps between minutes, and a wake at once when the clock is
// set (WM_TIMECHANGE) or the computer resumes (WM_POWERBROADCAST).

#include "platform/MinuteWake.h"

#include <QAbstractNativeEventFilter>
#include <QWinEventNotifier>

class WinMinuteWake final : public MinuteWake, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit WinMinuteWake(QObject* parent = nullptr);
    ~WinMinuteWake() override;

    void start() override;
    bool isActive() const override { return m_notifier.isEnabled(); }

private:
    // Sets the timer for the next minute of the wall clock as it reads now.
    void arm();
    void expired();
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    void* m_timer; // HANDLE
    QWinEventNotifier m_notifier;
};
