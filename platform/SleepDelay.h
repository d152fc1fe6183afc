#pragma once
// Holds the computer's sleep off for a moment while the program notes the time: the
// system tells the program before it sleeps, waits until the program lets it go, and
// after the resume the delay is taken again.

#include <QObject>

#include <memory>

class SleepDelay : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SleepDelay() override;

    // Takes the delay and listens for the sleep; without a system that offers it nothing
    // happens.
    virtual void start() = 0;
    // True while the delay is held.
    virtual bool isHolding() const = 0;

signals:
    // The computer is about to sleep: the receivers run before the delay is let go.
    void aboutToSleep();
};

// logind's delay inhibitor on Linux; none on Windows (null), where the program learns of the
// sleep only from the gap it leaves.
std::unique_ptr<SleepDelay> createSleepDelay();
