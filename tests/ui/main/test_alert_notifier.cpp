// The notifications beside the alert windows, against a recording server: what a
// notification says and offers, and how acting in the notification or in the window answers
// or postpones both.
#include "tests/platform/FakeDesktopNotifications.h"
#include "ui/alert/AlertWindow.h"
#include "ui/main/AlertNotifier.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const Moment Alarm = makeMoment(2026, 12, 9, 8, 0, 0);

struct AlertNotifierTest : ::testing::Test {
    FakeDesktopNotifications* server = new FakeDesktopNotifications;
    AlertNotifier notifier{std::unique_ptr<DesktopNotifications>(server)};

    void TearDown() override {
        for (AlertWindow* w : WindowList<AlertWindow>::all())
            delete w;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    AlertWindow* Alert(const QString& message, std::int32_t number) {
        AlertWindow* w = AlertWindow::showAlert(message, number, Alarm);
        notifier.watch(w);
        return w;
    }
    static void Fire(AlertWindow* w, const char* timer, int times = 1) {
        for (int i = 0; i < times; ++i)
            QMetaObject::invokeMethod(w->findChild<QTimer*>(QLatin1String(timer)), "timeout");
    }
    static bool Destroyed(const QPointer<AlertWindow>& w) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return w.isNull();
    }
};

} // namespace

TEST_F(AlertNotifierTest, TheNotificationSaysWhatTheWindowSaysAndOffersWhatTheServerCan) {
    const struct {
        const char* caps;
        QStringList actions;
        bool resident;
    } cases[] = {
        {"body actions persistence",
         {"default", "", "ok", "Ok", "5", "5", "15", "15", "60", "60"},
         true},
        {"body", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caps);
        server->shown.clear();
        server->caps = QString::fromLatin1(c.caps).split(' ');
        AlertWindow* w = Alert("Call Anna", 7);
        ASSERT_EQ(server->shown.size(), 1u);
        const DesktopNotice& n = server->shown[0].notice;
        EXPECT_EQ(n.summary, AlertWindow::momentText(Alarm));
        EXPECT_EQ(n.body, "Call Anna");
        EXPECT_EQ(n.actions, c.actions);
        EXPECT_EQ(n.resident, c.resident);
        EXPECT_EQ(n.replaces, 0u);
        delete w;
    }
}

TEST_F(AlertNotifierTest, ActionsAnswerOrPostponeTheWindowAndTheWindowWithdrawsTheNotification) {
    server->caps = {"actions"};
    QPointer<AlertWindow> w = Alert("Stretch", 3);
    server->answer();
    const quint32 first = server->shown.at(0).id;

    // A second alert of the reminder replaces the notification.
    AlertWindow::showAlert("Stretch", 3, Alarm);
    ASSERT_EQ(server->shown.size(), 2u);
    EXPECT_EQ(server->shown[1].notice.replaces, first);
    server->answer();

    // "15" in the notification postpones the window; the notification goes.
    server->invoke(first, "15");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->countdownSeconds(), 15 * 60);
    EXPECT_EQ(server->closedIds, std::vector<quint32>{first});
    // Back after the countdown: a new notification.
    Fire(w, "postponeTimer", 15 * 60);
    ASSERT_TRUE(w->isVisible());
    ASSERT_EQ(server->shown.size(), 3u);
    EXPECT_EQ(server->shown[2].notice.replaces, 0u);
    server->answer();
    const quint32 second = server->shown[2].id;

    // A postpone button in the window withdraws the notification too.
    QTest::mouseClick(w->findChild<QWidget*>("postpone1Button"), Qt::LeftButton);
    EXPECT_EQ(server->closedIds, (std::vector<quint32>{first, second}));
    Fire(w, "postponeTimer", 60);
    server->answer();
    const quint32 third = server->shown.back().id;

    // "Ok" in the notification answers the window, guard time or not: the user acted there.
    server->invoke(third, "ok");
    EXPECT_TRUE(Destroyed(w));
    EXPECT_EQ(server->closedIds.back(), third);
}

TEST_F(AlertNotifierTest, ExpiringOrClosingIsNoAnswerAndOnlyTheProgramsOwnIdsAct) {
    server->caps = {"actions"};
    QPointer<AlertWindow> w = Alert("Tea", 1);
    server->answer();
    const quint32 id = server->shown.at(0).id;
    server->invoke(id + 100, "ok"); // another program's notification
    server->expire(id);
    EXPECT_FALSE(Destroyed(w));
    EXPECT_TRUE(w->isVisible());
    // An expired notification acts no more, and is not closed again.
    server->invoke(id, "ok");
    EXPECT_FALSE(Destroyed(w));
    // The window's own "Ok" (once armed) has nothing to withdraw.
    Fire(w, "guardTimer");
    QTest::mouseClick(w->findChild<QWidget*>("okButton"), Qt::LeftButton);
    EXPECT_TRUE(Destroyed(w));
    EXPECT_TRUE(server->closedIds.empty());

    // The click on the notification brings the window to the front.
    AlertWindow* other = Alert("Walk", 2);
    AlertWindow* front = Alert("Post", 4);
    server->answer();
    ASSERT_TRUE(QTest::qWaitForWindowActive(front));
    server->invoke(server->shown.at(1).id, "default");
    EXPECT_TRUE(QTest::qWaitForWindowActive(other));
}

TEST_F(AlertNotifierTest, AnswerBeforeTheServerRepliedWithdrawsTheNotificationAtItsReply) {
    server->caps = {"actions"};
    QPointer<AlertWindow> postponed = Alert("Tea", 1);
    QPointer<AlertWindow> answered = Alert("Walk", 2);
    postponed->postpone(5);
    answered->answer();
    ASSERT_TRUE(Destroyed(answered));
    EXPECT_TRUE(server->closedIds.empty());
    server->answer();
    EXPECT_EQ(server->closedIds, (std::vector<quint32>{1, 2}));

    // Without a server the window goes on alone.
    server->server = false;
    server->closedIds.clear();
    QPointer<AlertWindow> alone = Alert("Post", 3);
    server->answer();
    Fire(alone, "guardTimer");
    QTest::mouseClick(alone->findChild<QWidget*>("okButton"), Qt::LeftButton);
    EXPECT_TRUE(Destroyed(alone));
    EXPECT_TRUE(server->closedIds.empty());
}
