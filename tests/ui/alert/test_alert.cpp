// The alert window driven as a real widget: guard time, postponement, closing, reuse
// for a second alert of the same reminder, lookup by number, accessibility, and its
// layout at the default font and at a larger one. Its timers are reached by name and
// fired as their own timeouts would.
#include "tests/support/LayoutCheck.h"
#include "tests/support/Screenshot.h"
#include "ui/alert/AlertWindow.h"
#include "ui/controls/ColorScheme.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

const Moment Alarm = makeMoment(2026, 12, 9, 8, 0, 0);
const Moment Later = makeMoment(2026, 12, 9, 8, 10, 0);
const int PostponeMinutes[] = {1, 5, 10, 15, 20, 30, 60};

class AlertTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Windows left open by a test are destroyed, like the main window does at exit.
        for (AlertWindow* w : WindowList<AlertWindow>::all())
            delete w;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QPushButton* button(AlertWindow* w, const char* name) {
        return w->findChild<QPushButton*>(QLatin1String(name));
    }
    static QPushButton* ok(AlertWindow* w) { return button(w, "okButton"); }
    static QPushButton* edit(AlertWindow* w) { return button(w, "editButton"); }
    static QToolButton* postponeButton(AlertWindow* w, int minutes) {
        return w->findChild<QToolButton*>(QStringLiteral("postpone%1Button").arg(minutes));
    }
    static QTimer* guardTimer(AlertWindow* w) {
        return w->findChild<QTimer*>(QStringLiteral("guardTimer"));
    }
    static QTimer* postponeTimer(AlertWindow* w) {
        return w->findChild<QTimer*>(QStringLiteral("postponeTimer"));
    }
    // One timeout of `timer`, delivered as the running timer would deliver it.
    static void fire(QTimer* timer) { QMetaObject::invokeMethod(timer, "timeout"); }
    static bool destroyed(const QPointer<AlertWindow>& w) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return w.isNull();
    }
    // Runs the guard time out without waiting for it.
    static void passGuard(AlertWindow* w) {
        ASSERT_TRUE(guardTimer(w)->isActive());
        fire(guardTimer(w));
    }
};

TEST_F(AlertTest, NewWindowShowsMomentAndMessageWithTheMessageAsCaption) {
    AlertWindow* w = AlertWindow::showAlert("Call Anna", 7, Alarm);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Call Anna");
    EXPECT_EQ(w->alertText(), AlertWindow::momentText(Alarm) + "\nCall Anna");
    EXPECT_EQ(w->number(), 7);
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(w->parentWidget(), nullptr);
    EXPECT_EQ(w->focusWidget(), ok(w));
}

TEST(AlertMoment, IsTheDateAndTimeInTheUsersLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(AlertWindow::momentText(makeMoment(2026, 12, 9, 8, 5, 0)), "09.12.26 08:05");
    QLocale::setDefault(saved);
}

TEST_F(AlertTest, OkAndEscAreIgnoredDuringTheGuardTimeAndCloseAfterIt) {
    for (const char* way : {"click", "Space", "Esc"}) {
        SCOPED_TRACE(way);
        QPointer<AlertWindow> w = AlertWindow::showAlert("Tea", 1, Alarm);
        auto press = [&] {
            if (way == std::string("Esc"))
                QTest::keyClick(ok(w), Qt::Key_Escape);
            else if (way == std::string("Space"))
                QTest::keyClick(ok(w), Qt::Key_Space);
            else
                QTest::mouseClick(ok(w), Qt::LeftButton);
        };
        EXPECT_FALSE(w->buttonsArmed());
        EXPECT_EQ(guardTimer(w)->interval(), 1200);
        press();
        ASSERT_FALSE(destroyed(w));
        EXPECT_TRUE(w->isVisible());

        passGuard(w);
        EXPECT_FALSE(guardTimer(w)->isActive()) << "the guard fires once";
        EXPECT_TRUE(w->buttonsArmed());
        press();
        EXPECT_TRUE(destroyed(w));
        EXPECT_EQ(WindowList<AlertWindow>::find(1), nullptr);
    }
}

TEST_F(AlertTest, GuardTimerArmsTheButtonsOnItsOwn) {
    AlertWindow* w = AlertWindow::showAlert("Tea", 1, Alarm);
    guardTimer(w)->setInterval(10); // the real timer, sped up
    guardTimer(w)->start();
    EXPECT_TRUE(QTest::qWaitFor([w] { return w->buttonsArmed(); }, 10000));
}

TEST_F(AlertTest, EditIsGuardedAndIgnoredForReminderZero) {
    AlertWindow* w = AlertWindow::showAlert("Tea", 4, Alarm);
    QSignalSpy spy(w, &AlertWindow::editRequested);
    QTest::mouseClick(edit(w), Qt::LeftButton);
    QTest::keyClick(edit(w), Qt::Key_Space);
    EXPECT_EQ(spy.count(), 0);
    passGuard(w);
    QTest::mouseClick(edit(w), Qt::LeftButton);
    QTest::keyClick(edit(w), Qt::Key_Space);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).value<std::int32_t>(), 4);
    EXPECT_EQ(spy.at(1).at(0).value<std::int32_t>(), 4);
    EXPECT_TRUE(w->isVisible()) << "the receiver decides whether the window closes";

    AlertWindow* none = AlertWindow::showAlert("Unsaved", 0, Alarm);
    QSignalSpy noneSpy(none, &AlertWindow::editRequested);
    passGuard(none);
    QTest::mouseClick(edit(none), Qt::LeftButton);
    EXPECT_EQ(noneSpy.count(), 0);
}

TEST_F(AlertTest, PostponeHidesAtOnceAndReturnsAfterTheCountdownWithTheGuardAgain) {
    for (const int minutes : PostponeMinutes) {
        SCOPED_TRACE(minutes);
        AlertWindow* w = AlertWindow::showAlert("Stretch", 3, Alarm);
        const QString text = w->alertText();
        // Postponing works during the guard time too.
        QToolButton* b = postponeButton(w, minutes);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), QString::number(minutes));
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_FALSE(w->isVisible());
        EXPECT_TRUE(postponeTimer(w)->isActive());
        EXPECT_EQ(postponeTimer(w)->interval(), 1000);
        EXPECT_EQ(w->countdownSeconds(), minutes * 60);
        EXPECT_FALSE(w->buttonsArmed());

        for (int i = 1; i < minutes * 60; ++i)
            fire(postponeTimer(w));
        EXPECT_FALSE(w->isVisible()) << "one tick early";
        fire(postponeTimer(w));
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(postponeTimer(w)->isActive());
        EXPECT_EQ(w->countdownSeconds(), 0);
        EXPECT_EQ(w->alertText(), text) << "no re: after a postponement";
        EXPECT_EQ(w->windowTitle(), "Stretch");

        // Guarded again: Ok works only after a further guard time.
        QPointer<AlertWindow> guarded = w;
        QTest::mouseClick(ok(w), Qt::LeftButton);
        EXPECT_FALSE(destroyed(guarded));
        passGuard(w);
        QTest::mouseClick(ok(w), Qt::LeftButton);
        EXPECT_TRUE(destroyed(guarded));
    }
}

TEST_F(AlertTest, ANewPostponementReplacesTheRunningOne) {
    AlertWindow* w = AlertWindow::showAlert("Stretch", 3, Alarm);
    passGuard(w);
    w->postpone(5);
    EXPECT_FALSE(w->buttonsArmed());
    w->show();
    QTest::mouseClick(postponeButton(w, 1), Qt::LeftButton);
    EXPECT_EQ(w->countdownSeconds(), 60);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(AlertTest, NothingButMinutesPostpones) {
    AlertWindow* w = AlertWindow::showAlert("Stretch", 3, Alarm);
    w->postpone(0);
    w->postpone(-5);
    // A click on the bare window, outside its controls.
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(postponeTimer(w)->isActive());
    EXPECT_EQ(w->countdownSeconds(), 0);
}

TEST_F(AlertTest, SecondAlertReusesTheWindowWithReAndKeepsItsState) {
    AlertWindow* w = AlertWindow::showAlert("Meeting", 9, Alarm);
    AlertWindow* other = AlertWindow::showAlert("Lunch", 10, Alarm);
    EXPECT_NE(other, w);
    passGuard(w);

    AlertWindow* again = AlertWindow::showAlert("Meeting moved", 9, Later);
    EXPECT_EQ(again, w);
    EXPECT_EQ(w->windowTitle(), "Meeting moved");
    EXPECT_EQ(w->alertText(), "re:\n" + AlertWindow::momentText(Later) + "\nMeeting moved");
    EXPECT_TRUE(w->buttonsArmed()) << "a ready window stays ready";
    EXPECT_FALSE(guardTimer(w)->isActive());
    EXPECT_EQ(other->alertText(), AlertWindow::momentText(Alarm) + "\nLunch");
}

TEST_F(AlertTest, ReusingAHiddenWindowShowsItButOkWaitsForCountdownAndGuard) {
    QPointer<AlertWindow> w = AlertWindow::showAlert("Meeting", 9, Alarm);
    passGuard(w);
    QTest::mouseClick(postponeButton(w, 1), Qt::LeftButton);
    ASSERT_FALSE(w->isVisible());

    EXPECT_EQ(AlertWindow::showAlert("Meeting", 9, Later), w.data());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(postponeTimer(w)->isActive());
    QTest::mouseClick(ok(w), Qt::LeftButton);
    EXPECT_FALSE(destroyed(w));

    for (int i = 0; i < 60; ++i)
        fire(postponeTimer(w));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->alertText().startsWith("re:\n"));
    passGuard(w);
    QTest::mouseClick(ok(w), Qt::LeftButton);
    EXPECT_TRUE(destroyed(w));
}

TEST_F(AlertTest, ReusingAMinimizedWindowRestoresIt) {
    AlertWindow* w = AlertWindow::showAlert("Meeting", 9, Alarm);
    w->showMinimized();
    ASSERT_TRUE(w->isMinimized());
    AlertWindow::showAlert("Meeting", 9, Later);
    EXPECT_FALSE(w->isMinimized());
    EXPECT_TRUE(w->isVisible());
}

TEST_F(AlertTest, CloseBoxDestroysDuringGuardAndCountdownAndNothingComesBack) {
    QPointer<AlertWindow> guarded = AlertWindow::showAlert("A", 1, Alarm);
    EXPECT_TRUE(guarded->close());
    EXPECT_EQ(WindowList<AlertWindow>::find(1), nullptr) << "a closing window is not reused";
    EXPECT_TRUE(destroyed(guarded));

    QPointer<AlertWindow> counting = AlertWindow::showAlert("B", 2, Alarm);
    QTest::mouseClick(postponeButton(counting, 1), Qt::LeftButton);
    AlertWindow::showAlert("B", 2, Later);
    EXPECT_TRUE(counting->close());
    EXPECT_TRUE(destroyed(counting));
    EXPECT_EQ(WindowList<AlertWindow>::find(2), nullptr);
}

TEST_F(AlertTest, FindLooksUpOpenAlertWindowsByNumber) {
    AlertWindow* a = AlertWindow::showAlert("A", 1, Alarm);
    AlertWindow* b = AlertWindow::showAlert("B", 2, Alarm);
    QTest::mouseClick(postponeButton(b, 10), Qt::LeftButton); // hidden windows count too
    EXPECT_EQ(WindowList<AlertWindow>::find(1), a);
    EXPECT_EQ(WindowList<AlertWindow>::find(2), b);
    EXPECT_EQ(WindowList<AlertWindow>::find(3), nullptr);
    QWidget plain; // other windows are passed over
    plain.show();
    EXPECT_EQ(WindowList<AlertWindow>::find(0), nullptr);
    // A window destroyed without closing, as at exit, is gone from the lookup too.
    delete a;
    EXPECT_EQ(WindowList<AlertWindow>::find(1), nullptr);
    EXPECT_EQ(WindowList<AlertWindow>::find(2), b);
}

TEST_F(AlertTest, TextsAndAccessibleNames) {
    AlertWindow* w = AlertWindow::showAlert("Pay rent", 5, Alarm);
    EXPECT_EQ(ok(w)->text(), "Ok");
    EXPECT_EQ(edit(w)->text(), "Edit...");
    EXPECT_EQ(w->findChild<QLabel*>("moveByLabel")->text(), " Move by ");
    EXPECT_EQ(w->findChild<QLabel*>("minutesLabel")->text(), "minutes");
    QStringList captions;
    for (QToolButton* b : w->findChildren<QToolButton*>())
        captions << b->text();
    EXPECT_EQ(captions.join(','), "1,5,10,15,20,30,60");

    for (QWidget* child : w->findChildren<QWidget*>()) {
        // A plain widget only holds a row of controls together; it has nothing to name.
        if (child->metaObject() == &QWidget::staticMetaObject)
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(child);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
            << child->objectName().toStdString();
    }
    EXPECT_EQ(ok(w)->accessibleName(), "Ok");
    EXPECT_EQ(edit(w)->accessibleName(), "Edit...");
    EXPECT_EQ(postponeButton(w, 10)->accessibleName(), "Move by 10 minutes");
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w);
    EXPECT_EQ(window->role(), QAccessible::AlertMessage);
    EXPECT_EQ(window->text(QAccessible::Name), "Pay rent");
    // The due time as the window shows it, that of the latest alert once reused.
    EXPECT_EQ(window->text(QAccessible::Description), AlertWindow::momentText(Alarm));
    AlertWindow::showAlert("Pay rent", 5, Later);
    EXPECT_EQ(window->text(QAccessible::Description), AlertWindow::momentText(Later));
}

TEST_F(AlertTest, TheShownWindowTakesTheFocusAndTabReachesEveryButton) {
    // Two alerts: the later one takes the focus from the earlier, and a postponed one
    // takes it again when it comes back.
    AlertWindow* first = AlertWindow::showAlert("Coffee", 2, Alarm);
    ASSERT_TRUE(QTest::qWaitForWindowActive(first));
    AlertWindow* w = AlertWindow::showAlert("Tea", 1, Alarm);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w)) << "the new alert did not take the focus";
    EXPECT_EQ(QApplication::focusWidget(), ok(w));
    QTest::mouseClick(postponeButton(first, 1), Qt::LeftButton);
    for (int i = 0; i < 60; ++i)
        fire(postponeTimer(first));
    ASSERT_TRUE(QTest::qWaitForWindowActive(first)) << "the returning alert took no focus";
    EXPECT_EQ(QApplication::focusWidget(), ok(first));

    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QList<QWidget*> order{edit(w)};
    for (int minutes : PostponeMinutes)
        order << postponeButton(w, minutes);
    order << ok(w);
    for (QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
    }
    // Space on a postpone button reached by Tab postpones, during the guard time too.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), postponeButton(w, 60));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->countdownSeconds(), 60 * 60);
}

TEST_F(AlertTest, TheWindowAndItsPanelsTakeTheSchemeColourButTheMessageStaysWhite) {
    ASSERT_TRUE(ColorScheme::inUse());
    AlertWindow* w = AlertWindow::showAlert("Tea", 1, Alarm);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    const QImage image = w->grab().toImage();
    const auto* message = w->findChild<QWidget*>("messagePanel");
    const auto* postpone = w->findChild<QWidget*>("postponePanel");
    EXPECT_EQ(image.pixelColor(2, 2), ColorScheme::schemeColor()) << "the window";
    EXPECT_EQ(image.pixelColor(postpone->geometry().topLeft() + QPoint(1, 1)),
              ColorScheme::schemeColor());
    EXPECT_EQ(image.pixelColor(message->geometry().bottomRight() - QPoint(2, 2)),
              QColor(Qt::white));
    EXPECT_EQ(ok(w)->palette().color(QPalette::Button), ColorScheme::schemeColor());
}

// ---- layout ----

// Where `child` is in `w`'s coordinates.
QRect rectIn(QWidget* w, const char* child) {
    auto* c = w->findChild<QWidget*>(QLatin1String(child));
    return c ? QRect(c->mapTo(w, QPoint(0, 0)), c->size()) : QRect();
}

TEST_F(AlertTest, AtTheDefaultFontTheWindowHasItsDesignedSizeAndArrangement) {
    ASSERT_DOUBLE_EQ(ColorScheme::fontScale(), 1.0);
    AlertWindow* w = AlertWindow::showAlert("Call Anna", 7, Alarm);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_EQ(w->size(), QSize(388, 273));
    EXPECT_EQ(w->font().pixelSize(), ColorScheme::DefaultPixelSize);
    EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "a fixed frame";
    EXPECT_THAT(clippedWidgets(w), ::testing::IsEmpty());

    // The message fills the top, the postpone row is below it, the buttons at the
    // bottom left, Ok before Edit...
    const QRect message = rectIn(w, "messagePanel");
    const QRect row = rectIn(w, "postponePanel");
    const QRect okRect = rectIn(w, "okButton");
    const QRect editRect = rectIn(w, "editButton");
    EXPECT_LT(message.bottom(), row.top());
    EXPECT_LT(row.bottom(), okRect.top());
    EXPECT_EQ(okRect.top(), editRect.top());
    EXPECT_LT(okRect.right(), editRect.left());
    EXPECT_EQ(okRect.left(), message.left());
    EXPECT_GT(message.height(), w->height() / 2);
    // "Move by", the seven buttons in order, "minutes", on one line.
    QRect previous = rectIn(w, "moveByLabel");
    for (int minutes : PostponeMinutes) {
        const QRect b = rectIn(w, QStringLiteral("postpone%1Button").arg(minutes).toLatin1());
        EXPECT_LT(previous.right(), b.left()) << minutes;
        EXPECT_EQ(b.center().y(), row.center().y()) << minutes;
        previous = b;
    }
    EXPECT_LT(previous.right(), rectIn(w, "minutesLabel").left());
}

TEST_F(AlertTest, WithALargerApplicationFontTheWindowGrowsInsteadOfClipping) {
    ScopedLook larger(Look{QStringLiteral("en"), 1.5, true});
    AlertWindow* w = AlertWindow::showAlert("Call Anna about the concert tickets", 7, Alarm);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_GE(w->font().pixelSize(), ColorScheme::DefaultPixelSize * 3 / 2);
    EXPECT_GE(w->width(), 388);
    EXPECT_GE(w->height(), 273);
    EXPECT_THAT(clippedWidgets(w), ::testing::IsEmpty());
}

TEST_F(AlertTest, ALongMessageMakesTheWindowTallerInsteadOfCuttingIt) {
    const QString message = QStringLiteral("Take the blue folder to the tax office ").repeated(12);
    for (const double scale : {1.0, 1.5}) {
        SCOPED_TRACE(scale);
        ScopedLook look(Look{QStringLiteral("en"), scale, true});
        AlertWindow* w = AlertWindow::showAlert(message, 7, Alarm);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        EXPECT_GT(w->height(), 273);
        EXPECT_THAT(clippedWidgets(w), ::testing::IsEmpty());
        delete w;
    }
}

TEST_F(AlertTest, ALongUnbrokenWordWrapsAndTheWindowStaysWithinTheScreen) {
    const QString word =
        QStringLiteral("Grundstuecksverkehrsgenehmigungszustaendigkeit").repeated(2);
    for (const double scale : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE(scale);
        ScopedLook look(Look{QStringLiteral("en"), scale, true});
        AlertWindow* w = AlertWindow::showAlert(word, 7, Alarm);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        const QRect screen = w->screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(w->frameGeometry()))
            << w->frameGeometry().width() << "x" << w->frameGeometry().height();
        auto* label = w->findChild<QLabel*>(QStringLiteral("messageLabel"));
        if (scale == 1.0) {
            EXPECT_EQ(w->width(), 388) << "the word widened the window";
        }
        if (scale < 3.0) {
            // The word is broken across lines, all of them shown.
            EXPECT_GE(label->height(), 3 * label->fontMetrics().height());
            EXPECT_THAT(clippedWidgets(w), ::testing::IsEmpty());
        }
        delete w;
    }
}

} // namespace
