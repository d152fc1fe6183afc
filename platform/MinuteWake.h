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
};

// The platform's wake.
std::unique_ptr<MinuteWake> createMinuteWake();
