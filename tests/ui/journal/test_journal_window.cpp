#include "core/MissedJournal.h"
#include "desktop/ProgramSettings.h"
#include "desktop/RegionalDateTime.h"
#include "ui/journal/JournalWindow.h"
#include "ui/journal/MissedEntry.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

Moment At(int y, int mo, int d, int h = 0, int mi = 0) {
    return makeMoment(y, mo, d, h, mi);
}

// Reminders 12, 3 and 7, stored in that order, daily at 08:00, 09:00 and 10:00; the
// program last ran until Monday 17:00 and started again on Tuesday at 11:00.
struct JournalWindowTest : ::testing::Test {
    MissedJournal journal;
    const Moment lastRun = At(2026, 12, 7, 17), start = At(2026, 12, 8, 11);
    std::unique_ptr<JournalWindow> window;

    void SetUp() override {
        ReminderTable table;
        const std::pair<std::int32_t, int> reminders[] = {{12, 8}, {3, 9}, {7, 10}};
        for (const auto& [number, hour] : reminders) {
            ReminderRow r;
            r.setInteger(Col::N, number);
            r.setInteger(Col::DateOrDay, 1);
            r.setMoment(Col::Data, At(2000, 1, 1, hour));
            for (Col c : {Col::Mon, Col::Tue, Col::Wed, Col::Thu, Col::Fri, Col::Sat, Col::Sun})
                r.setInteger(c, 1);
            r.setText(Col::Comment, "reminder " + std::to_string(number));
            table.insert(r);
        }
        ASSERT_EQ(journal.build(table, lastRun, start, start), 3);
        window = Opened();
    }
    std::unique_ptr<JournalWindow> Opened(const WindowPlacement& placement = {}) const {
        auto w = std::make_unique<JournalWindow>(placement);
        w->setAttribute(Qt::WA_DeleteOnClose, false); // the test owns it
        w->setCaption(journal.from(), journal.to(), Texts());
        w->fill(journal.entries());
        w->bringBack();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return w;
    }
    std::vector<std::int32_t> Numbers() const {
        std::vector<std::int32_t> v;
        for (MissedEntry* e : window->entries())
            v.push_back(e->number());
        return v;
    }
    static QPushButton* Button(MissedEntry* entry, const char* name) {
        return entry->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static QString Label(MissedEntry* entry, const char* name) {
        return entry->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
};

} // namespace

TEST_F(JournalWindowTest, ListsTheMissedRemindersInNumberOrderUnderItsCaption) {
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{3, 7, 12}));
    MissedEntry* first = window->entries().front();
    EXPECT_EQ(Label(first, "numberLabel"), "3");
    EXPECT_EQ(Label(first, "timeLabel"), RegionalDateTimeText(At(2026, 12, 8, 9)));
    EXPECT_EQ(Label(first, "messageLabel"), "reminder 3");
    EXPECT_EQ(window->windowTitle(), "Events that skipped from " + RegionalDateTimeText(lastRun) +
                                         " to " + RegionalDateTimeText(start));
    // One below the other from the top, as wide as the list.
    const QList<MissedEntry*> entries = window->entries();
    EXPECT_EQ(entries[0]->y(), 0);
    EXPECT_EQ(entries[1]->y(), entries[0]->geometry().bottom() + 1);
    EXPECT_EQ(entries[0]->width(), entries[0]->parentWidget()->width());
    EXPECT_GE(entries[0]->height(), 40);
    EXPECT_EQ(window->size(), JournalWindow::DesignedSize);
}

TEST_F(JournalWindowTest, OkRemovesItsEntryByMouseAndBySpace) {
    for (const bool byKey : {false, true}) {
        SCOPED_TRACE(byKey ? "Space" : "click");
        window = Opened();
        const QList<MissedEntry*> entries = window->entries();
        const int middleTop = entries[1]->y();
        QPushButton* ok = Button(entries[1], "okButton");
        if (byKey) {
            ok->setFocus();
            QTest::keyClick(ok, Qt::Key_Space);
        } else {
            QTest::mouseClick(ok, Qt::LeftButton);
        }
        EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{3, 12}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(QTest::qWaitFor([&] { return entries[2]->y() == middleTop; })); // moved up
    }
}

TEST_F(JournalWindowTest, EditAsksForTheReminderAndTheEntryStays) {
    std::vector<std::int32_t> edit;
    QObject::connect(window.get(), &JournalWindow::editRequested,
                     [&edit](std::int32_t number) { edit.push_back(number); });
    MissedEntry* seven = window->entries()[1];
    QTest::mouseClick(Button(seven, "editButton"), Qt::LeftButton);
    Button(seven, "editButton")->setFocus();
    QTest::keyClick(Button(seven, "editButton"), Qt::Key_Space);
    EXPECT_EQ(edit, (std::vector<std::int32_t>{7, 7}));
    EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{3, 7, 12}));

    // A reminder without a number has nothing to open.
    window->fill({{0, start, "no number"}});
    QTest::mouseClick(Button(window->entries()[0], "editButton"), Qt::LeftButton);
    EXPECT_EQ(edit.size(), 2u);
}

TEST_F(JournalWindowTest, EntryColoursFollowTheFocusAndTheMouse) {
    const QList<MissedEntry*> entries = window->entries();
    for (MissedEntry* e : entries)
        EXPECT_EQ(e->background(), MissedEntry::normalColor());
    ASSERT_NE(MissedEntry::focusColor(), MissedEntry::normalColor());
    ASSERT_NE(MissedEntry::focusColor(), MissedEntry::hoverColor());

    // Tab goes from an entry to its buttons and on to the next entry; the entry keeps
    // the focus colour while the focus is on its buttons.
    window->activateWindow();
    entries[0]->setFocus();
    EXPECT_EQ(entries[0]->background(), MissedEntry::focusColor());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Button(entries[0], "okButton"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Button(entries[0], "editButton"));
    EXPECT_EQ(entries[0]->background(), MissedEntry::focusColor());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), entries[1]);
    EXPECT_EQ(entries[0]->background(), MissedEntry::normalColor());
    EXPECT_EQ(entries[1]->background(), MissedEntry::focusColor());

    // Pointing at another entry, and at its buttons, paints it until the mouse leaves it.
    QTest::mouseMove(entries[2], QPoint(3, 3));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return entries[2]->background() == MissedEntry::hoverColor(); }));
    QTest::mouseMove(Button(entries[2], "okButton"));
    QTest::mouseMove(entries[2]->findChild<QLabel*>("messageLabel"));
    EXPECT_EQ(entries[2]->background(), MissedEntry::hoverColor());
    EXPECT_EQ(entries[1]->background(), MissedEntry::focusColor());
    QTest::mouseMove(entries[1], QPoint(3, 3));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return entries[2]->background() == MissedEntry::normalColor(); }));
    EXPECT_EQ(entries[1]->background(), MissedEntry::hoverColor());
    // Leaving the focused entry gives it back its focus colour.
    QTest::mouseMove(entries[0], QPoint(3, 3));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return entries[1]->background() == MissedEntry::focusColor(); }));

    // A click on a label gives its entry the focus.
    QTest::mouseClick(entries[2]->findChild<QLabel*>("messageLabel"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), entries[2]);
}

TEST_F(JournalWindowTest, ButtonsAreNamedForAssistiveTechnology) {
    MissedEntry* three = window->entries()[0];
    const auto name = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    EXPECT_EQ(name(Button(three, "okButton")), "Ok");
    EXPECT_EQ(name(Button(three, "editButton")), "Edit...");
    EXPECT_TRUE(name(three).contains("reminder 3")) << name(three).toStdString();
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(Button(three, "editButton"))
                    ->text(QAccessible::Description)
                    .contains("reminder 3"));
}

TEST_F(JournalWindowTest, HandsItsPlacementOnAsItGoesAndOpensWhereItIsTold) {
    window->move(40, 50);
    window->resize(620, 300);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->size() == QSize(620, 300); }));
    const QPoint at = window->frameGeometry().topLeft();
    const QSize outer = window->frameGeometry().size();
    std::optional<WindowPlacement> left;
    QObject::connect(window.get(), &JournalWindow::left,
                     [&left](const WindowPlacement& placement) { left = placement; });
    window.reset();
    ASSERT_TRUE(left) << "no placement handed on";
    EXPECT_EQ(QPoint(left->left, left->top), at);
    EXPECT_EQ(QSize(left->width, left->height), outer);
    EXPECT_EQ(left->state, WindowStateCode::Normal);

    window = Opened(*left);
    EXPECT_EQ(window->frameGeometry().topLeft(), at);
    EXPECT_EQ(window->frameGeometry().size(), outer);

    // Never smaller than its designed size.
    window = Opened({WindowStateCode::Normal, 1, 2, 100, 100});
    EXPECT_EQ(window->size(), JournalWindow::DesignedSize);
}

TEST_F(JournalWindowTest, OneJournalWindowIsFoundAndNotOnceClosing) {
    EXPECT_EQ(WindowList<JournalWindow>::first(), window.get());
    window->close();
    EXPECT_EQ(WindowList<JournalWindow>::first(), nullptr);
}
