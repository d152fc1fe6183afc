// Windows larger than the screen they open on: 1280 x 800 pixels at a scale factor of 2
// leave 640 x 400 for windows. The editor (694 x 467 as designed) scrolls its content with
// "Ok" and "Cancel" in view; the alert wraps a long word instead of growing past the edge.
#include "app/Reminders.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/LayoutCheck.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TempHome.h"
#include "ui/alert/AlertWindow.h"
#include "ui/editor/ReminderEditor.h"
#include "ui/editor/ReminderEditors.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

template <class W = QWidget> W* part(const QObject* parent, const char* name) {
    auto* w = parent->findChild<W*>(QLatin1String(name));
    if (w == nullptr)
        ADD_FAILURE() << "no " << W::staticMetaObject.className() << " named " << name;
    return w;
}

QRect availableArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

TEST(SmallScreen, IsTheOneTheTestsAreFor) {
    EXPECT_EQ(availableArea().size(), QSize(640, 400));
    EXPECT_DOUBLE_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 2.0);
}

class SmallScreenEditor : public ::testing::TestWithParam<double> {};

TEST_P(SmallScreenEditor, ScrollsItsContentAndKeepsOkAndCancelInView) {
    // At a larger font too, where the buttons ask for more than their designed size.
    const ScopedLook look(Look{QStringLiteral("en"), GetParam(), true});
    Reminders reminders(systemClock(), makeSqliteReminderStore());
    reminders.setFilePath(MakeTempFolder("editor") + "/things.mln");
    reminders.load();
    ASSERT_TRUE(reminders.waitForFile());
    ASSERT_TRUE(reminders.isLoaded());
    FakeSoundPlayer player;
    const ReminderEditors editors(reminders, player);
    QPointer<ReminderEditor> f = editors.openNew();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));

    const QRect screen = availableArea();
    EXPECT_TRUE(screen.contains(f->frameGeometry()))
        << f->width() << "x" << f->height() << " on " << screen.width() << "x" << screen.height();
    EXPECT_EQ(f->frameGeometry().size(), screen.size()) << "all the room is used";
    EXPECT_EQ(f->minimumSize(), f->maximumSize()) << "a fixed frame";
    auto* scroll = part<QScrollArea>(f, "contentScroll");
    // The content keeps its designed size and scrolls both ways.
    EXPECT_GE(scroll->widget()->width(), 694);
    EXPECT_GT(scroll->widget()->height(), scroll->viewport()->height());
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
    for (const char* name : {"okButton", "cancelButton"}) {
        QWidget* b = part(f, name);
        EXPECT_TRUE(b->isVisible()) << name;
        EXPECT_TRUE(f->rect().contains(QRect(b->mapTo(f, QPoint(0, 0)), b->size()))) << name;
    }
    EXPECT_THAT(clippedWidgets(f), ::testing::IsEmpty());

    // Tab brings a control out of sight into view.
    const auto inView = [scroll](QWidget* w) {
        const QRect r(w->mapTo(scroll->viewport(), QPoint(0, 0)), w->size());
        return scroll->viewport()->rect().contains(r);
    };
    QWidget* special = part(f, "powerCheck");
    ASSERT_FALSE(inView(special));
    part(f, "flashCheck")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), special);
    EXPECT_TRUE(inView(special));

    // "Ok" clicked where it shows saves as anywhere.
    part<QPlainTextEdit>(f, "messageEdit")->setPlainText(QStringLiteral("Tea"));
    QPushButton* ok = part<QPushButton>(f, "okButton");
    QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.isNull());
    EXPECT_EQ(reminders.repository().table().count(), 1u);
}

INSTANTIATE_TEST_SUITE_P(FontScales, SmallScreenEditor, ::testing::Values(1.0, 1.5));

TEST(SmallScreen, TheAlertWrapsALongWordWithinTheScreen) {
    const QString word = QStringLiteral("Grundstuecksverkehrsgenehmigungszustaendigkeit");
    QPointer<AlertWindow> w = AlertWindow::showAlert(word + word, 7, makeMoment(2026, 12, 9, 8, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_TRUE(availableArea().contains(w->frameGeometry())) << w->width() << "x" << w->height();
    EXPECT_EQ(w->width(), AlertWindow::DesignedSize.width());
    EXPECT_THAT(clippedWidgets(w), ::testing::IsEmpty());
    delete w.data();
}

} // namespace
