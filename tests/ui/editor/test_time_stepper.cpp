// The time stepper on its own: steps of short and long presses on each arrow, the
// repeat timer, the keys, and a stepper that is switched off while an arrow is held.
#include "ui/editor/TimeStepper.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A window with a stepper and a line edit that can hold the focus.
class TimeStepperTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window_);
        layout->addWidget(stepper_);
        layout->addWidget(edit_);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    QToolButton* arrow(const char* name) const {
        auto* b = stepper_->findChild<QToolButton*>(QLatin1String(name));
        if (b == nullptr)
            ADD_FAILURE() << "no arrow " << name;
        return b;
    }
    QTimer* repeatTimer() const { return stepper_->findChild<QTimer*>("repeatTimer"); }
    QString shown() const {
        return stepper_->findChild<QLabel*>("hourLabel")->text() + QLatin1Char(':') +
               stepper_->findChild<QLabel*>("minuteLabel")->text();
    }
    // One tick of the running repeat timer, without waiting for it.
    void tick() const {
        ASSERT_TRUE(repeatTimer()->isActive());
        QTimerEvent event(repeatTimer()->timerId());
        QCoreApplication::sendEvent(repeatTimer(), &event);
    }

    QWidget window_;
    TimeStepper* stepper_ = new TimeStepper(&window_);
    QLineEdit* edit_ = new QLineEdit(&window_);
};

TEST_F(TimeStepperTest, ArrowsStepOnShortAndLongPresses) {
    struct Case {
        const char* name;
        const char* arrow;
        QTime from;
        int ticks;
        QString after;
    };
    const Case cases[] = {
        {"short minute up wraps, hour stays", "minuteUpButton", QTime(7, 59), 0, "07:00"},
        {"short minute down wraps", "minuteDownButton", QTime(7, 0), 0, "07:59"},
        {"short hour up wraps", "hourUpButton", QTime(23, 30), 0, "00:30"},
        {"released after four ticks: one step", "hourDownButton", QTime(12, 30), 4, "11:30"},
        {"released after five ticks: only that tick", "hourDownButton", QTime(12, 30), 5, "11:30"},
        {"held ten ticks from 00: six steps", "hourDownButton", QTime(0, 10), 10, "18:10"},
        {"held minute up", "minuteUpButton", QTime(5, 58), 7, "05:01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        stepper_->setValue(c.from);
        QToolButton* b = arrow(c.arrow);
        QTest::mousePress(b, Qt::LeftButton);
        EXPECT_TRUE(repeatTimer()->isActive());
        for (int i = 0; i < c.ticks; ++i)
            tick();
        QTest::mouseRelease(b, Qt::LeftButton);
        EXPECT_FALSE(repeatTimer()->isActive());
        EXPECT_EQ(shown(), c.after);
        EXPECT_EQ(stepper_->value().toString("HH:mm"), c.after);
    }
}

TEST_F(TimeStepperTest, HeldArrowRepeatsOnTheRealTimerWithAnyMouseButton) {
    stepper_->setValue(QTime(10, 0));
    EXPECT_EQ(repeatTimer()->interval(), 100);
    QTest::mousePress(arrow("hourUpButton"), Qt::RightButton);
    EXPECT_TRUE(QTest::qWaitFor([this] { return stepper_->value().hour() >= 12; }, 10000));
    QTest::mouseRelease(arrow("hourUpButton"), Qt::RightButton);
    EXPECT_FALSE(repeatTimer()->isActive());
}

TEST_F(TimeStepperTest, KeysStepOnceAndEveryChangeIsReported) {
    QSignalSpy changes(stepper_, &TimeStepper::valueChanged);
    stepper_->setValue(QTime(23, 0));
    stepper_->setValue(QTime(23, 0, 45)); // the same hour and minute: no change
    EXPECT_EQ(changes.size(), 1);
    EXPECT_EQ(shown(), "23:00");

    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    edit_->setFocus();
    QTest::keyClick(edit_, Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(edit_, Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
    QTest::keyClick(edit_, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(edit_, Qt::Key_Up, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(shown(), "23:00");
    EXPECT_EQ(changes.size(), 5);
    EXPECT_EQ(changes.at(1).at(0).toTime(), QTime(0, 0));
    EXPECT_EQ(changes.at(2).at(0).toTime(), QTime(0, 59));
    // The keys never move the focus to the arrows, and no arrow takes it.
    EXPECT_EQ(QApplication::focusWidget(), edit_);
    for (QToolButton* b : stepper_->findChildren<QToolButton*>())
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
}

TEST_F(TimeStepperTest, SwitchedOffItStopsAHeldArrowAndIgnoresArrowsAndKeys) {
    stepper_->setValue(QTime(8, 15));
    QTest::mousePress(arrow("minuteUpButton"), Qt::LeftButton);
    for (int i = 0; i < 6; ++i)
        tick();
    EXPECT_EQ(shown(), "08:17");
    window_.setEnabled(false);
    EXPECT_FALSE(repeatTimer()->isActive());
    QTest::mouseRelease(arrow("minuteUpButton"), Qt::LeftButton);
    QTest::mouseClick(arrow("hourUpButton"), Qt::LeftButton);
    QTest::keyClick(edit_, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(shown(), "08:17");

    // Back on, a short click steps once again: the held time started from nothing.
    window_.setEnabled(true);
    QTest::mouseClick(arrow("minuteUpButton"), Qt::LeftButton);
    EXPECT_EQ(shown(), "08:18");
}

} // namespace
