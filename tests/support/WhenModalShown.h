#pragma once
// Runs `act` on the modal dialog as soon as it is shown and active, from inside its
// exec(). If none shows within the limit, or `act` leaves it open, the dialog is closed
// so that the test fails instead of hanging.

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

class WhenModalShown final {
public:
    explicit WhenModalShown(std::function<void(QDialog*)> act) : act_(std::move(act)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Poll(); });
        timer_.start();
    }
    ~WhenModalShown() { timer_.stop(); }
    bool ran() const { return ran_; }
    // The dialog as it was seen, for checks after exec() returned.
    QPointer<QDialog> dialog;

private:
    void Poll() {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (d && !ran_ && d->isVisible() && d->isActiveWindow()) {
            ran_ = true;
            dialog = d;
            act_(d);
            return;
        }
        if (deadline_.hasExpired()) {
            timer_.stop();
            ADD_FAILURE() << (ran_ ? "the dialog stayed open" : "no dialog was shown");
            if (d)
                d->reject();
        }
    }

    std::function<void(QDialog*)> act_;
    QTimer timer_;
    QDeadlineTimer deadline_{20000};
    bool ran_ = false;
};
