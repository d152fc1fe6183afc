#pragma once
// The sleep delay of logind: a "delay" inhibitor for "sleep", held as the file descriptor
// logind hands out, let go after PrepareForSleep(true) has been told and taken again after
// PrepareForSleep(false).

#include "platform/SleepDelay.h"

#include <QDBusUnixFileDescriptor>

class LogindSleepDelay final : public SleepDelay {
    Q_OBJECT
public:
    using SleepDelay::SleepDelay;

    void start() override;
    bool isHolding() const override { return m_inhibitor.isValid(); }

private slots:
    void prepareForSleep(bool sleeping);

private:
    // Asks logind for the delay; the answer comes later. A request still out is not repeated.
    void take();

    QDBusUnixFileDescriptor m_inhibitor;
    bool m_asking = false;
    // A sleep began while the request was out: its answer is let go at once.
    bool m_sleeping = false;
};
