#pragma once
// What wakes the program to look at the clock: woke() at least once in every minute and at
// once when the computer resumes from sleep. A wake carries no time of its own; the receiver
// reads the clock, so it must give the right result whenever it is woken.

#include <QObject>

#include <memory>

class MinuteWake : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MinuteWake() override;

    // Starts waking; a wake runs until it is destroyed.
    virtual void start() = 0;
    virtual bool isActive() const = 0;

signals:
    void woke();

protected:
    // Also wakes when the computer has resumed from sleep (logind's PrepareForSleep(false)
    // on Linux; without a system bus or logind nothing more happens).
    void wakeAfterSleep();

private slots:
    // Called with false when the computer has resumed, with true just before it sleeps.
    void prepareForSleep(bool sleeping);
};

// The platform's wake: on Linux a timer at every minute of the wall clock, else (or when
// the system has none) a one-second timer; on Windows a waitable timer.
std::unique_ptr<MinuteWake> createMinuteWake();
