// The reminder list: drawing decisions, column values, order and current row,
// column fitting and moves, and the tray pictures.
#include "tests/support/FakeClock.h"
#include "tests/support/TempHome.h"
#include "tests/support/ZoneScope.h"
#include "ui/controls/ColorScheme.h"
#include "ui/main/CellImages.h"
#include "ui/main/ReminderListModel.h"
#include "ui/main/ReminderListPanel.h"
#include "ui/main/ReminderListView.h"
#include "ui/main/TrayImages.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <random>

// Messages in failure output as text.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// Wednesday 9 December 2026, 07:59.
const Moment Now = makeMoment(2026, 12, 9, 7, 59);

Reminder NewReminder(const std::string& text) {
    Reminder r;
    r.isNew = true;
    r.message = text;
    r.kind = ScheduleKind::Once;
    r.moment = makeMoment(2026, 12, 24, 18, 30);
    r.showAlert = true;
    return r;
}

class ListTest : public ::testing::Test {
protected:
    ListTest() {
        EXPECT_TRUE(data.load(MakeTempFolder("list") + "/things.mln").ok());
        model.reload(); // as the main window does after loading
        model.setNow(Now);
    }
    std::int32_t Add(const Reminder& r) {
        const Status res = data.saveReminder(r, Now);
        EXPECT_TRUE(res.ok());
        model.reload();
        return res.number.value();
    }
    QString Cell(int row, int column) const {
        return model.data(model.index(row, column)).toString();
    }
    ReminderRepository data;
    MessageOrder order{data.table()};
    ReminderListModel model{data, order};
};

// --- drawing decisions ---------------------------------------------------------

struct CellCase {
    const char* name;
    std::function<void(ReminderRow&)> setup;
    int column;
    bool past; // the row's next time lies before now
    bool inFocus;
    CellLook expected;
};

CellLook Icon(CellPicture picture) {
    return {false, CellTextColour::List, picture, false};
}
CellLook LightIcon(CellPicture picture) {
    return {false, CellTextColour::List, picture, true};
}
CellLook Blank() {
    return {};
}
CellLook Text(CellTextColour c) {
    return {true, c, std::nullopt, false};
}

TEST(CellDecision, IconsTextsAndInversion) {
    const auto scheduled = [](ReminderRow& r) { r.setInteger(Col::AfterStart, 0); };
    const auto afterStart = [](ReminderRow& r) { r.setInteger(Col::AfterStart, 1); };
    const auto with = [](std::function<void(ReminderRow&)> more) {
        return [more](ReminderRow& r) {
            r.setInteger(Col::AfterStart, 0);
            more(r);
        };
    };
    const std::vector<CellCase> cases = {
        {"clock for a scheduled reminder", scheduled, AfterStartColumn, false, false,
         Icon(CellPicture::Schedule)},
        {"inverted clock on the highlighted row", scheduled, AfterStartColumn, false, true,
         LightIcon(CellPicture::Schedule)},
        {"no clock after start", afterStart, AfterStartColumn, false, false, Blank()},
        {"no clock for an empty value", [](ReminderRow&) {}, AfterStartColumn, false, false,
         Blank()},
        {"future text in view colours", scheduled, MessageColumn, false, false,
         Text(CellTextColour::List)},
        {"future text highlighted in view colours", scheduled, NextTimeColumn, false, true,
         Text(CellTextColour::List)},
        {"past text grey", scheduled, DescriptionColumn, true, false, Text(CellTextColour::Grey)},
        {"past text highlighted orange", scheduled, MessageColumn, true, true,
         Text(CellTextColour::Orange)},
        {"after-start text grey", afterStart, NextTimeColumn, false, false,
         Text(CellTextColour::Grey)},
        {"after-start text highlighted orange", afterStart, MessageColumn, false, true,
         Text(CellTextColour::Orange)},
        {"message lines", with([](ReminderRow& r) { r.setInteger(Col::MessShow, 1); }),
         ShowAlertColumn, false, false, Icon(CellPicture::Alert)},
        {"a flag other than 1 is off", with([](ReminderRow& r) { r.setInteger(Col::MessShow, 2); }),
         ShowAlertColumn, false, false, Blank()},
        {"bubble", with([](ReminderRow& r) { r.setInteger(Col::Hint, 1); }), HintColumn, false,
         true, LightIcon(CellPicture::Hint)},
        {"speaker needs a sound file", with([](ReminderRow& r) { r.setInteger(Col::Sound, 1); }),
         SoundColumn, false, false, Blank()},
        {"speaker", with([](ReminderRow& r) {
             r.setInteger(Col::Sound, 1);
             r.setText(Col::SPath, "/x/a.wav");
         }),
         SoundColumn, false, true, LightIcon(CellPicture::Sound)},
        {"flag", with([](ReminderRow& r) { r.setInteger(Col::Anim, 1); }), FlashColumn, false,
         false, Icon(CellPicture::Flash)},
        {"triangle needs a file", with([](ReminderRow& r) { r.setInteger(Col::RunProg, 1); }),
         OpenFileColumn, false, false, Blank()},
        {"triangle", with([](ReminderRow& r) {
             r.setInteger(Col::RunProg, 1);
             r.setText(Col::PPath, "/x/doc.txt");
         }),
         OpenFileColumn, false, false, Icon(CellPicture::OpenFile)},
        {"no cross for an ordinary reminder", scheduled, PowerColumn, false, false, Blank()},
        {"special hides the message icon", with([](ReminderRow& r) {
             r.setInteger(Col::Special, 1);
             r.setInteger(Col::MessShow, 1);
         }),
         ShowAlertColumn, false, false, Blank()},
        {"special shows the cross", with([](ReminderRow& r) {
             r.setInteger(Col::Special, 1);
             r.setInteger(Col::MessShow, 1);
         }),
         PowerColumn, false, false, Icon(CellPicture::Power)},
        {"after-start special shows the inverted cross",
         [](ReminderRow& r) {
             r.setInteger(Col::AfterStart, 1);
             r.setInteger(Col::Special, 1);
         },
         PowerColumn, false, true, LightIcon(CellPicture::Power)},
    };
    for (const CellCase& c : cases) {
        ReminderRow row;
        c.setup(row);
        const Moment next = c.past ? Now - std::chrono::hours(24) : Now + std::chrono::hours(24);
        EXPECT_EQ(decideCell(row, c.column, next, Now, c.inFocus), c.expected) << c.name;
    }
}

// --- column values, order, current row ---------------------------------------

TEST_F(ListTest, ColumnsShowTextsNextTimeAndDescriptionInMessageOrder) {
    Reminder days = NewReminder("gamma days");
    days.kind = ScheduleKind::Weekly;
    days.moment = makeMoment(2000, 1, 1, 8, 0);
    days.days = {true, false, true, false, true, false, false};
    Reminder after = NewReminder("Beta after start");
    after.afterStart = true;
    after.minutesAfterStart = 10;
    Add(days);
    Add(after);
    Add(NewReminder("alpha date"));

    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(Cell(0, MessageColumn), "alpha date");
    EXPECT_EQ(Cell(1, MessageColumn), "Beta after start");
    EXPECT_EQ(Cell(2, MessageColumn), "gamma days");

    EXPECT_EQ(Cell(0, DescriptionColumn), "Specific date and time : 24.12.2026 18:30");
    EXPECT_EQ(Cell(0, NextTimeColumn), "24.12.2026 18:30");
    EXPECT_EQ(Cell(1, DescriptionColumn), "After starting, after 10 minutes");
    EXPECT_EQ(Cell(1, NextTimeColumn), "01.01.2000 00:00");
    EXPECT_EQ(Cell(2, DescriptionColumn), "Days of week : Mon, Wed, Fri : 08:00");
    EXPECT_EQ(Cell(2, NextTimeColumn), "09.12.2026 08:00");
    EXPECT_EQ(Cell(2, ShowAlertColumn), "");

    // A minute later the view is told to recompute; Wednesday 08:00 has passed.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setNow(makeMoment(2026, 12, 9, 8, 1));
    model.refreshComputedColumns();
    ASSERT_EQ(changed.count(), 1);
    const auto from = changed[0][0].value<QModelIndex>();
    const auto to = changed[0][1].value<QModelIndex>();
    EXPECT_EQ(from.row(), 0);
    EXPECT_EQ(to.row(), 2);
    EXPECT_LE(from.column(), MessageColumn);
    EXPECT_GE(to.column(), NextTimeColumn);
    EXPECT_EQ(Cell(2, NextTimeColumn), "11.12.2026 08:00");
}

// On the days the clock changes, the next time is when the clock shows the reminder.
TEST_F(ListTest, NextTimeFollowsTheClockChanges) {
    const ZoneScope zone("Europe/Berlin");
    Reminder daily = NewReminder("daily 2:30");
    daily.kind = ScheduleKind::Weekly;
    daily.days.fill(true);
    daily.moment = makeMoment(2026, 1, 1, 2, 30);
    Add(daily);
    const auto utc = [](int mo, int d, int h, int mi) {
        return UtcInstant{makeMoment(2026, mo, d, h, mi).time_since_epoch()};
    };
    const struct {
        const char* when;
        UtcInstant now;
        const char* shown;
    } cases[] = {
        {"01:58 before the skipped hour", utc(3, 29, 0, 58), "29.03.2026 03:00"},
        {"02:10 the first time", utc(10, 25, 0, 10), "25.10.2026 02:30"},
        {"02:10 the second time", utc(10, 25, 1, 10), "26.10.2026 02:30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        model.setNow(FakeClock::inZone(c.now));
        EXPECT_EQ(Cell(0, NextTimeColumn), c.shown);
    }
}

TEST_F(ListTest, OnlyTheTextColumnsTakeTitles) {
    EXPECT_EQ(model.headerData(NextTimeColumn, Qt::Horizontal).toString(), "Next time");
    EXPECT_TRUE(model.setHeaderData(MessageColumn, Qt::Horizontal, "Nachricht"));
    EXPECT_EQ(model.headerData(MessageColumn, Qt::Horizontal).toString(), "Nachricht");
    for (int c : {AfterStartColumn, ShowAlertColumn, HintColumn, SoundColumn, FlashColumn,
                  OpenFileColumn, PowerColumn}) {
        EXPECT_FALSE(model.setHeaderData(c, Qt::Horizontal, "x")) << c;
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), "") << c;
    }
}

TEST_F(ListTest, RefreshDoesNothingWhenNotLoadedOrEmpty) {
    ReminderRepository closed;
    MessageOrder closedOrder(closed.table());
    ReminderListModel closedModel(closed, closedOrder);
    QSignalSpy closedChanged(&closedModel, &QAbstractItemModel::dataChanged);
    QSignalSpy closedReset(&closedModel, &QAbstractItemModel::modelReset);
    closedModel.refreshComputedColumns();
    EXPECT_EQ(closedChanged.count() + closedReset.count(), 0);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.refreshComputedColumns(); // open but empty
    EXPECT_EQ(changed.count() + reset.count(), 0);
}

TEST_F(ListTest, RefreshAfterAnUnannouncedChangeReadsTheRowsAgain) {
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    ASSERT_TRUE(data.saveReminder(NewReminder("quiet"), Now).ok()); // no tableChanged
    model.refreshComputedColumns();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(ListTest, ViewKeepsTheCurrentReminderAcrossChanges) {
    ReminderListView view;
    view.setReminderModel(&model);
    EXPECT_EQ(view.currentNumber(), std::nullopt);
    Add(NewReminder("alpha"));
    const std::int32_t beta = Add(NewReminder("beta"));
    Add(NewReminder("gamma"));

    // Choosing a row makes it the reminder the commands act on.
    view.setCurrentIndex(model.index(1, MessageColumn));
    EXPECT_EQ(view.currentNumber(), beta);

    // Renaming it moves it to the end; it stays current.
    Reminder renamed = *data.reminder(beta);
    renamed.message = "zulu";
    ASSERT_TRUE(data.saveReminder(renamed, Now).ok());
    model.reload();
    EXPECT_EQ(view.currentIndex().row(), 2);
    EXPECT_EQ(view.currentNumber(), beta);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(2, {}));

    // Deleting the current (last) one leaves the row now at its place current.
    ASSERT_TRUE(data.deleteReminder(beta));
    model.reload();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(view.currentIndex().row(), 1);
    EXPECT_EQ(Cell(1, MessageColumn), "gamma");

    // A new reminder becomes current.
    const std::int32_t aardvark = Add(NewReminder("Aardvark"));
    EXPECT_EQ(view.currentIndex().row(), 0);
    EXPECT_EQ(view.currentNumber(), aardvark);

    // The core keeps its stored order whatever the view shows.
    std::vector<std::string> stored;
    for (std::size_t i = 0; i < data.table().count(); ++i)
        stored.push_back(data.table().rowAt(i).text(Col::Comment));
    EXPECT_EQ(stored, (std::vector<std::string>{"alpha", "gamma", "Aardvark"}));
}

// Message order follows the language's collation without regard to case; equal
// messages keep their stored order. Russian puts Cyrillic before Latin.
TEST(MessageOrder, CollatesByLocaleWithoutCaseAndKeepsStoredOrderForTies) {
    const QLocale saved;
    const std::vector<QString> latin = {"apple", "Banana", "Tie", "tie", "TIE"};
    const std::vector<QString> cyrillic = {"арбуз", "Яблоко"};
    const auto joined = [](std::vector<QString> a, const std::vector<QString>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const struct {
        const char* locale;
        std::vector<QString> expected;
    } cases[] = {{"C", joined(latin, cyrillic)},
                 {"en_US", joined(latin, cyrillic)},
                 {"ru_RU", joined(cyrillic, latin)}};
    for (const auto& [locale, expected] : cases) {
        SCOPED_TRACE(locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        ReminderRepository data;
        ASSERT_TRUE(data.load(MakeTempFolder("order") + "/things.mln").ok());
        std::vector<std::int32_t> numbers;
        for (const char* text : {"Яблоко", "Banana", "арбуз", "apple", "Tie", "tie", "TIE"})
            numbers.push_back(data.saveReminder(NewReminder(text), Now).number.value());
        MessageOrder order(data.table());
        ReminderListModel model(data, order);
        std::vector<QString> shown;
        for (int row = 0; row < model.rowCount(); ++row)
            shown.push_back(model.data(model.index(row, MessageColumn)).toString());
        EXPECT_EQ(shown, expected);
        const int tie = model.rowOfNumber(numbers[4]);
        ASSERT_GE(tie, 0);
        EXPECT_EQ(model.numberAt(tie + 1), numbers[5]); // ties in stored order
        EXPECT_EQ(model.numberAt(tie + 2), numbers[6]);
        EXPECT_LT(model.compareMessages("арбуз", "Яблоко"), 0);
        EXPECT_EQ(model.compareMessages("tie", "TIE"), 0);
    }
    QLocale::setDefault(saved);
}

// The order kept from the load on places only the rows that changed; after any mix of
// additions, renames (among equal messages too) and deletions it is the order a fresh
// sort of the whole table gives, and agrees with compareMessages().
TEST(MessageOrder, ChangedRowsArePlacedAsAFreshSortWould) {
    ReminderRepository data;
    ASSERT_TRUE(data.load(MakeTempFolder("follow") + "/things.mln").ok());
    MessageOrder order(data.table());
    ReminderListModel model(data, order);
    const auto ids = [](const MessageOrder& o) {
        std::vector<RowId> v;
        for (const MessageOrder::Entry& e : o.entries())
            v.push_back(e.id);
        return v;
    };
    const char* const words[] = {"tie", "Tie", "TIE", "apple", "Banana", "арбуз", "Яблоко", ""};
    std::mt19937 random(13);
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    std::vector<std::int32_t> numbers;
    for (int round = 0; round < 60; ++round) {
        // A few changes between two readings, as an editor's save and a deletion make them.
        for (int change = 0, changes = 1 + static_cast<int>(pick(4)); change < changes; ++change) {
            const std::string word = words[pick(std::size(words))];
            if (numbers.size() < 8 || pick(3) == 0) {
                numbers.push_back(data.saveReminder(NewReminder(word), Now).number.value());
            } else if (pick(4) == 0) {
                const std::size_t i = pick(numbers.size());
                ASSERT_TRUE(data.deleteReminder(numbers[i]));
                numbers.erase(numbers.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                Reminder r = *data.reminder(numbers[pick(numbers.size())]);
                r.message = word;
                ASSERT_TRUE(data.saveReminder(r, Now).ok());
            }
        }
        model.reload();
        SCOPED_TRACE(round);
        MessageOrder fresh(data.table());
        fresh.update();
        ASSERT_EQ(ids(order), ids(fresh));
        ASSERT_EQ(model.rowCount(), static_cast<int>(data.table().count()));
        for (int row = 0; row + 1 < model.rowCount(); ++row) {
            const QString a = model.data(model.index(row, MessageColumn)).toString();
            const QString b = model.data(model.index(row + 1, MessageColumn)).toString();
            const int c = model.compareMessages(a, b);
            ASSERT_LE(c, 0) << a.toStdString() << " / " << b.toStdString();
            if (c == 0) {
                ASSERT_LT(data.table().indexOf(order.entries()[row].id),
                          data.table().indexOf(order.entries()[row + 1].id));
            }
        }
    }
}

// --- keys, moves, highlighting -------------------------------------------------

TEST_F(ListTest, KeysAndDoubleClickAskForCommands) {
    Add(NewReminder("alpha"));
    ReminderListView view;
    view.setReminderModel(&model);
    view.resize(500, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QSignalSpy added(&view, &ReminderListView::newReminderRequested);
    QSignalSpy edited(&view, &ReminderListView::editRequested);
    QSignalSpy deleted(&view, &ReminderListView::deleteRequested);
    QTest::keyClick(&view, Qt::Key_Insert);
    QTest::keyClick(&view, Qt::Key_Delete);
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(added.count(), 1);
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(edited.count(), 2);
    const QPoint cell = view.visualRect(model.index(0, MessageColumn)).center();
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(edited.count(), 3);
}

TEST_F(ListTest, DraggedColumnGoesBack) {
    ReminderListView view;
    view.setReminderModel(&model);
    QHeaderView* header = view.horizontalHeader();
    ASSERT_TRUE(header->sectionsMovable());
    header->moveSection(1, 6);
    header->moveSection(9, 0);
    for (int c = 0; c < ListColumnCount; ++c)
        EXPECT_EQ(header->visualIndex(c), c);
}

TEST_F(ListTest, OnlyTheFocusedListHighlightsItsCurrentRow) {
    Add(NewReminder("alpha"));
    Add(NewReminder("beta"));
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* view = new ReminderListView;
    view->setReminderModel(&model);
    auto* other = new QLineEdit;
    layout->addWidget(view);
    layout->addWidget(other);
    window.resize(500, 200);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    view->setCurrentIndex(model.index(0, MessageColumn));

    const auto background = [&](int row) {
        const QRect r = view->visualRect(model.index(row, DescriptionColumn));
        return view->viewport()->grab().toImage().pixelColor(r.right() - 3, r.bottom() - 2);
    };
    view->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->hasFocus(); }));
    EXPECT_TRUE(view->isHighlighted(0));
    EXPECT_EQ(background(0), QColor(0, 0, 128));
    EXPECT_EQ(background(1), view->palette().color(QPalette::Base));

    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }));
    EXPECT_FALSE(view->isHighlighted(0));
    EXPECT_EQ(background(0), view->palette().color(QPalette::Base));
}

// --- column fitting --------------------------------------------------------------

TEST(ColumnFit, SharesTheWidthBetweenMessageAndDescription) {
    struct Case {
        bool growing;
        int listWidth;
        int others;
        SharedWidths from;
        SharedWidths expected;
    };
    // Other columns 221 wide, scroll bar 15: both limits are reached at 646.
    const std::vector<Case> cases = {
        {true, 500, 221, {100, 154}, {100, 149}}, // widening: description grows first
        {true, 600, 221, {100, 149}, {100, 249}},
        {true, 800, 221, {100, 249}, {254, 295}},  // then the message takes the rest
        {false, 700, 221, {254, 295}, {154, 295}}, // narrowing: message shrinks first
        {false, 600, 221, {154, 295}, {100, 249}}, // then the description
        {false, 300, 221, {100, 249}, {100, FittedWidthFloor}},
        {true, 700, 500, {100, 295}, {FittedWidthFloor, 295}}, // widened other columns
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitColumnWidths(c.growing, c.listWidth, c.others, 15, c.from), c.expected)
            << "list " << c.listWidth << (c.growing ? " growing" : " narrowing");
}

TEST_F(ListTest, PanelFitsTheColumnsToItsWidth) {
    ReminderListPanel panel;
    ReminderListView* view = panel.listView();
    view->setReminderModel(&model);
    const int S = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    const auto others = [&] {
        int f = 0;
        for (int c : {0, 3, 4, 5, 6, 7, 8, 9})
            f += view->cellWidth(c);
        return f;
    };
    // The next-time column fits its texts in the view's font; the rest are as designed.
    const int F = 115 + view->cellWidth(NextTimeColumn);
    EXPECT_EQ(others(), F);
    panel.resize(900, 300);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.fittedWidth() == 900; }));
    EXPECT_EQ(view->width(), 896); // 2-pixel margin
    EXPECT_EQ(view->cellWidth(DescriptionColumn), 295);
    EXPECT_EQ(view->cellWidth(MessageColumn), 896 - (F + 295 + 2 * S));

    panel.resize(560, 300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.fittedWidth() == 560; }));
    EXPECT_EQ(view->cellWidth(MessageColumn), 100);
    EXPECT_EQ(view->cellWidth(DescriptionColumn), 556 - (F + 100 + 2 * S));

    // A column the user widened counts in the next fit.
    const int dt = view->cellWidth(NextTimeColumn);
    view->setCellWidth(NextTimeColumn, dt + 44);
    panel.resize(540, 300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.fittedWidth() == 540; }));
    EXPECT_EQ(view->cellWidth(DescriptionColumn), 536 - (F + 44 + 100 + 2 * S));
    view->setCellWidth(NextTimeColumn, dt);

    // The first fit after loading puts both columns right whatever they were.
    panel.resize(900, 300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.fittedWidth() == 900; }));
    view->setCellWidth(MessageColumn, 100);
    view->setCellWidth(DescriptionColumn, 154);
    panel.startFirstFit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.firstFitPending(); }));
    EXPECT_EQ(view->cellWidth(DescriptionColumn), 295);
    EXPECT_EQ(view->cellWidth(MessageColumn), 896 - (F + 295 + 2 * S));
}

TEST_F(ListTest, NextTimeTextsShowWholeInTheProgramFontAndLarger) {
    // Text is drawn 2 pixels into its cell.
    const Moment moments[] = {makeMoment(2088, 8, 28, 20, 8), makeMoment(2026, 12, 10, 12, 11),
                              makeMoment(2099, 12, 31, 23, 59)};
    for (const int pixels :
         {ColorScheme::DefaultPixelSize, ColorScheme::DefaultPixelSize * 3 / 2}) {
        SCOPED_TRACE(pixels);
        ReminderListView view;
        view.setReminderModel(&model);
        view.setFont(ColorScheme::font(pixels));
        const QFontMetrics fm(view.font());
        for (Moment t : moments)
            EXPECT_LE(2 + fm.horizontalAdvance(nextTimeText(t)), view.cellWidth(NextTimeColumn))
                << nextTimeText(t).toStdString();
    }
}

// --- pictures ----------------------------------------------------------------------

bool HasInk(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y).alpha() > 0)
                return true;
    return false;
}

TEST(Pictures, CellAndTrayImagesAreDrawnAtTheirScale) {
    const CellImages cells(2.0);
    for (int i = 0; i < CellPictureCount; ++i) {
        for (const bool light : {false, true}) {
            const QPixmap& pm = cells.picture(static_cast<CellPicture>(i), light);
            ASSERT_FALSE(pm.isNull()) << i << light;
            EXPECT_EQ(pm.size(), QSize(32, 32)) << i << light;
            EXPECT_EQ(pm.deviceIndependentSize(), QSizeF(16, 16)) << i << light;
            EXPECT_TRUE(HasInk(pm.toImage())) << i << light;
        }
    }
    EXPECT_NE(cells.picture(CellPicture::Flash, false).toImage(),
              cells.picture(CellPicture::Flash, true).toImage());

    const TrayImageSets tray;
    EXPECT_FALSE(tray.plain().pixmap(16, 16).isNull());
    EXPECT_EQ(tray.day(5).pixmap(32, 32).size(), QSize(32, 32));
    for (int d = 2; d <= 31; ++d)
        EXPECT_NE(renderTrayPicture(TrayPicture::Day, 16, d).toImage(),
                  renderTrayPicture(TrayPicture::Day, 16, d - 1).toImage())
            << d;
    EXPECT_NE(tray.flag(0).pixmap(16, 16).toImage(), tray.flag(1).pixmap(16, 16).toImage());
}

TEST(Pictures, ATrayPictureIsDrawnWhenFirstShownAtTheSizeAskedForAndKept) {
    const int before = TrayImageSets::drawnCount();
    const TrayImageSets tray;
    EXPECT_EQ(TrayImageSets::drawnCount(), before) << "making the sets draws nothing";

    const QPixmap first = tray.day(17).pixmap(22, 22);
    EXPECT_EQ(first.size(), QSize(22, 22));
    EXPECT_EQ(first.toImage(), renderTrayPicture(TrayPicture::Day, 22, 17).toImage());
    const int drawn = TrayImageSets::drawnCount();
    EXPECT_EQ(drawn, before + 2); // the icon's and the comparison's
    EXPECT_EQ(tray.day(17).pixmap(22, 22).cacheKey(), first.cacheKey()) << "kept";
    EXPECT_EQ(TrayImageSets::drawnCount(), drawn);
    // A tray at scale 2 asks for twice the pixels.
    EXPECT_EQ(tray.plain().pixmap(QSize(22, 22), 2.0).size(), QSize(44, 44));
}

} // namespace
