// The alert window driven as a real widget: guard time, postponement, closing,
// reuse for a second alert of the same reminder, lookup by number, accessibility.
#include "ui/alert/UMess.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

const Moment Alarm = makeMoment(2026, 12, 9, 8, 0, 0);
const Moment Later = makeMoment(2026, 12, 9, 8, 10, 0);

class AlertTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Windows left open by a test are destroyed, like the main window does at exit.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFMess*>(w))
                delete w;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QPushButton* Button(TFMess* f, const char* name) {
        return f->findChild<QPushButton*>(QLatin1String(name));
    }
    static QToolButton* Postpone(TFMess* f, const QString& caption) {
        for (QToolButton* b : f->findChildren<QToolButton*>())
            if (b->text() == caption)
                return b;
        return nullptr;
    }
    static bool Destroyed(const QPointer<TFMess>& f) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return f.isNull();
    }
    // Runs the guard time out without waiting for it.
    static void PassGuard(TFMess* f) {
        ASSERT_TRUE(f->tmButtons()->isActive());
        f->tmButtonsTimer();
    }
};

TEST_F(AlertTest, NewWindowShowsMomentAndMessageWithTheMessageAsCaption) {
    TFMess* f = ShowAlertWindow("Call Anna", 7, Alarm);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->windowTitle(), "Call Anna");
    EXPECT_EQ(f->AlertText(), AlertMomentText(Alarm) + "\nCall Anna");
    EXPECT_EQ(f->NumOfThing(), 7);
    EXPECT_TRUE(f->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(f->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(f->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(f->parentWidget(), nullptr);
    EXPECT_EQ(f->size(), QSize(388, 273));
    EXPECT_EQ(f->focusWidget(), Button(f, "btOk"));
}

TEST(AlertMoment, IsTheDateAndTimeInTheUsersLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(AlertMomentText(makeMoment(2026, 12, 9, 8, 5, 0)), "09.12.26 08:05");
    QLocale::setDefault(saved);
}

TEST_F(AlertTest, OkAndEscAreIgnoredDuringTheGuardTimeAndCloseAfterIt) {
    for (const char* way : {"click", "Space", "Esc"}) {
        SCOPED_TRACE(way);
        QPointer<TFMess> f = ShowAlertWindow("Tea", 1, Alarm);
        auto press = [&] {
            if (way == std::string("Esc"))
                QTest::keyClick(Button(f, "btOk"), Qt::Key_Escape);
            else if (way == std::string("Space"))
                QTest::keyClick(Button(f, "btOk"), Qt::Key_Space);
            else
                QTest::mouseClick(Button(f, "btOk"), Qt::LeftButton);
        };
        EXPECT_FALSE(f->ButtonEnabled());
        EXPECT_EQ(f->tmButtons()->interval(), 1200);
        press();
        ASSERT_FALSE(Destroyed(f));
        EXPECT_TRUE(f->isVisible());

        PassGuard(f);
        EXPECT_FALSE(f->tmButtons()->isActive()) << "the guard fires once";
        EXPECT_TRUE(f->ButtonEnabled());
        press();
        EXPECT_TRUE(Destroyed(f));
        EXPECT_EQ(FindAlertForm(1), nullptr);
    }
}

TEST_F(AlertTest, GuardTimerEnablesTheButtonsOnItsOwn) {
    TFMess* f = ShowAlertWindow("Tea", 1, Alarm);
    f->tmButtons()->setInterval(10); // the real timer, sped up
    f->tmButtons()->start();
    EXPECT_TRUE(QTest::qWaitFor([f] { return f->ButtonEnabled(); }, 10000));
}

TEST_F(AlertTest, EditIsGuardedAndIgnoredForReminderZero) {
    TFMess* f = ShowAlertWindow("Tea", 4, Alarm);
    QSignalSpy spy(f, &TFMess::editRequested);
    QTest::mouseClick(Button(f, "btEdit"), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 0);
    PassGuard(f);
    QTest::mouseClick(Button(f, "btEdit"), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<std::int32_t>(), 4);
    EXPECT_TRUE(f->isVisible()) << "the receiver decides whether the window closes";

    TFMess* none = ShowAlertWindow("Unsaved", 0, Alarm);
    QSignalSpy noneSpy(none, &TFMess::editRequested);
    PassGuard(none);
    QTest::mouseClick(Button(none, "btEdit"), Qt::LeftButton);
    EXPECT_EQ(noneSpy.count(), 0);
}

TEST_F(AlertTest, PostponeHidesAtOnceAndReturnsAfterTheCountdownWithTheGuardAgain) {
    struct Case {
        const char* caption;
        int ticks;
    };
    for (const Case c : {Case{"1", 60}, Case{"5", 300}, Case{"10", 600}, Case{"15", 900},
                         Case{"20", 1200}, Case{"30", 1800}, Case{"60", 3600}}) {
        SCOPED_TRACE(c.caption);
        TFMess* f = ShowAlertWindow("Stretch", 3, Alarm);
        const QString text = f->AlertText();
        // Postponing works during the guard time too.
        QToolButton* b = Postpone(f, c.caption);
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_FALSE(f->isVisible());
        EXPECT_TRUE(f->Timer1()->isActive());
        EXPECT_EQ(f->Timer1()->interval(), 1000);
        EXPECT_FALSE(f->ButtonEnabled());

        for (int i = 1; i < c.ticks; ++i)
            f->Timer1Timer();
        EXPECT_FALSE(f->isVisible()) << "one tick early";
        f->Timer1Timer();
        EXPECT_TRUE(f->isVisible());
        EXPECT_FALSE(f->Timer1()->isActive());
        EXPECT_EQ(f->Countdown(), 0);
        EXPECT_EQ(f->AlertText(), text) << "no re: after a postponement";
        EXPECT_EQ(f->windowTitle(), "Stretch");

        // Guarded again: Ok works only after a further guard time.
        QPointer<TFMess> guarded = f;
        QTest::mouseClick(Button(f, "btOk"), Qt::LeftButton);
        EXPECT_FALSE(Destroyed(guarded));
        PassGuard(f);
        QTest::mouseClick(Button(f, "btOk"), Qt::LeftButton);
        EXPECT_TRUE(Destroyed(guarded));
    }
}

TEST_F(AlertTest, ReadyWindowPostponedIgnoresOkUntilShownAgain) {
    TFMess* f = ShowAlertWindow("Stretch", 3, Alarm);
    PassGuard(f);
    QTest::mouseClick(Postpone(f, "5"), Qt::LeftButton);
    EXPECT_FALSE(f->ButtonEnabled());
    // A new postponement replaces the running countdown.
    f->show();
    QTest::mouseClick(Postpone(f, "1"), Qt::LeftButton);
    EXPECT_EQ(f->Countdown(), 60);
}

TEST_F(AlertTest, OnlyPostponeButtonsPostpone) {
    TFMess* f = ShowAlertWindow("Stretch", 3, Alarm);
    f->SpeedButton1Click(f);
    f->SpeedButton1Click(Button(f, "btOk"));
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->Timer1()->isActive());
}

TEST_F(AlertTest, SecondAlertReusesTheWindowWithReAndKeepsItsState) {
    TFMess* f = ShowAlertWindow("Meeting", 9, Alarm);
    TFMess* other = ShowAlertWindow("Lunch", 10, Alarm);
    EXPECT_NE(other, f);
    PassGuard(f);

    TFMess* again = ShowAlertWindow("Meeting moved", 9, Later);
    EXPECT_EQ(again, f);
    EXPECT_EQ(f->windowTitle(), "Meeting moved");
    EXPECT_EQ(f->AlertText(), "re:\n" + AlertMomentText(Later) + "\nMeeting moved");
    EXPECT_TRUE(f->ButtonEnabled()) << "a ready window stays ready";
    EXPECT_FALSE(f->tmButtons()->isActive());
    EXPECT_EQ(other->AlertText(), AlertMomentText(Alarm) + "\nLunch");
}

TEST_F(AlertTest, ReusingAHiddenWindowShowsItButOkWaitsForCountdownAndGuard) {
    QPointer<TFMess> f = ShowAlertWindow("Meeting", 9, Alarm);
    PassGuard(f);
    QTest::mouseClick(Postpone(f, "1"), Qt::LeftButton);
    ASSERT_FALSE(f->isVisible());

    EXPECT_EQ(ShowAlertWindow("Meeting", 9, Later), f.data());
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->Timer1()->isActive());
    QTest::mouseClick(Button(f, "btOk"), Qt::LeftButton);
    EXPECT_FALSE(Destroyed(f));

    for (int i = 0; i < 60; ++i)
        f->Timer1Timer();
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->AlertText().startsWith("re:\n"));
    PassGuard(f);
    QTest::mouseClick(Button(f, "btOk"), Qt::LeftButton);
    EXPECT_TRUE(Destroyed(f));
}

TEST_F(AlertTest, ReusingAMinimizedWindowRestoresIt) {
    TFMess* f = ShowAlertWindow("Meeting", 9, Alarm);
    f->showMinimized();
    ASSERT_TRUE(f->isMinimized());
    ShowAlertWindow("Meeting", 9, Later);
    EXPECT_FALSE(f->isMinimized());
    EXPECT_TRUE(f->isVisible());
}

TEST_F(AlertTest, CloseBoxDestroysDuringGuardAndCountdownAndNothingComesBack) {
    QPointer<TFMess> guarded = ShowAlertWindow("A", 1, Alarm);
    EXPECT_TRUE(guarded->close());
    EXPECT_EQ(FindAlertForm(1), nullptr) << "a closing window is not reused";
    EXPECT_TRUE(Destroyed(guarded));

    QPointer<TFMess> counting = ShowAlertWindow("B", 2, Alarm);
    QTest::mouseClick(Postpone(counting, "1"), Qt::LeftButton);
    ShowAlertWindow("B", 2, Later);
    EXPECT_TRUE(counting->close());
    EXPECT_TRUE(Destroyed(counting));
    EXPECT_EQ(FindAlertForm(2), nullptr);
}

TEST_F(AlertTest, FindAlertFormFindsByNumber) {
    TFMess* a = ShowAlertWindow("A", 1, Alarm);
    TFMess* b = ShowAlertWindow("B", 2, Alarm);
    QTest::mouseClick(Postpone(b, "10"), Qt::LeftButton); // hidden windows count too
    EXPECT_EQ(FindAlertForm(1), a);
    EXPECT_EQ(FindAlertForm(2), b);
    EXPECT_EQ(FindAlertForm(3), nullptr);
    QWidget plain; // other windows are passed over
    plain.show();
    EXPECT_EQ(FindAlertForm(0), nullptr);
}

TEST_F(AlertTest, TextsAndAccessibleNames) {
    TFMess* f = ShowAlertWindow("Pay rent", 5, Alarm);
    EXPECT_EQ(Button(f, "btOk")->text(), "Ok");
    EXPECT_EQ(Button(f, "btEdit")->text(), "Edit...");
    EXPECT_EQ(f->findChild<QLabel*>("Label3")->text(), " Move by ");
    EXPECT_EQ(f->findChild<QLabel*>("Label1")->text(), "minutes");
    QStringList captions;
    for (QToolButton* b : f->findChildren<QToolButton*>())
        captions << b->text();
    EXPECT_EQ(captions.join(','), "1,5,10,15,20,30,60");

    for (QWidget* w : f->findChildren<QWidget*>()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
            << w->objectName().toStdString();
    }
    EXPECT_EQ(Postpone(f, "10")->accessibleName(), "Move by 10 minutes");
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(f);
    EXPECT_EQ(window->role(), QAccessible::AlertMessage);
    EXPECT_EQ(window->text(QAccessible::Name), "Pay rent");
}

} // namespace
