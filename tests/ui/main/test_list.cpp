// The reminder list: drawing decisions, column values, order and current row,
// column fitting and moves, and the tray pictures.
#include "tests/support/FakeClock.h"
#include "tests/support/TempHome.h"
#include "tests/support/ZoneScope.h"
#include "ui/controls/ColorScheme.h"
#include "ui/main/CellImages.h"
#include "ui/main/ThingsGrid.h"
#include "ui/main/ThingsListModel.h"
#include "ui/main/TrayImages.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

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
        EXPECT_TRUE(data.load(MakeTempFolder("list") + "/things.mln").ok);
        model.tableChanged(); // as the main window does after loading
        model.SetNow(Now);
    }
    std::int32_t Add(const Reminder& r) {
        const SaveResult res = data.saveReminder(r, Now);
        EXPECT_TRUE(res.saved);
        model.tableChanged();
        return res.number;
    }
    QString Cell(int row, int column) const {
        return model.data(model.index(row, column)).toString();
    }
    ReminderRepository data;
    ThingsListModel model{data};
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

CellLook Icon(int bitmap) {
    return {false, CellTextColour::Grid, bitmap};
}
CellLook Blank() {
    return {};
}
CellLook Text(CellTextColour c) {
    return {true, c, -1};
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
        {"clock for a scheduled reminder", scheduled, ColAfterStart, false, false,
         Icon(BitSchedule)},
        {"inverted clock on the highlighted row", scheduled, ColAfterStart, false, true,
         Icon(BitScheduleInv)},
        {"no clock after start", afterStart, ColAfterStart, false, false, Blank()},
        {"no clock for an empty value", [](ReminderRow&) {}, ColAfterStart, false, false, Blank()},
        {"future text in grid colours", scheduled, ColComment, false, false,
         Text(CellTextColour::Grid)},
        {"future text highlighted in grid colours", scheduled, ColDT, false, true,
         Text(CellTextColour::Grid)},
        {"past text grey", scheduled, ColDescription, true, false, Text(CellTextColour::Grey)},
        {"past text highlighted orange", scheduled, ColComment, true, true,
         Text(CellTextColour::Orange)},
        {"after-start text grey", afterStart, ColDT, false, false, Text(CellTextColour::Grey)},
        {"after-start text highlighted orange", afterStart, ColComment, false, true,
         Text(CellTextColour::Orange)},
        {"message lines", with([](ReminderRow& r) { r.setInteger(Col::MessShow, 1); }), ColMessShow,
         false, false, Icon(BitMess)},
        {"a flag other than 1 is off", with([](ReminderRow& r) { r.setInteger(Col::MessShow, 2); }),
         ColMessShow, false, false, Blank()},
        {"bubble", with([](ReminderRow& r) { r.setInteger(Col::Hint, 1); }), ColHint, false, true,
         Icon(BitHintInv)},
        {"speaker needs a sound file", with([](ReminderRow& r) { r.setInteger(Col::Sound, 1); }),
         ColSound, false, false, Blank()},
        {"speaker", with([](ReminderRow& r) {
             r.setInteger(Col::Sound, 1);
             r.setText(Col::SPath, "/x/a.wav");
         }),
         ColSound, false, true, Icon(BitSoundInv)},
        {"flag", with([](ReminderRow& r) { r.setInteger(Col::Anim, 1); }), ColAnim, false, false,
         Icon(BitAnim)},
        {"triangle needs a file", with([](ReminderRow& r) { r.setInteger(Col::RunProg, 1); }),
         ColRunProg, false, false, Blank()},
        {"triangle", with([](ReminderRow& r) {
             r.setInteger(Col::RunProg, 1);
             r.setText(Col::PPath, "/x/doc.txt");
         }),
         ColRunProg, false, false, Icon(BitRunProg)},
        {"no cross for an ordinary reminder", scheduled, ColSpecial, false, false, Blank()},
        {"special hides the message icon", with([](ReminderRow& r) {
             r.setInteger(Col::Special, 1);
             r.setInteger(Col::MessShow, 1);
         }),
         ColMessShow, false, false, Blank()},
        {"special shows the cross", with([](ReminderRow& r) {
             r.setInteger(Col::Special, 1);
             r.setInteger(Col::MessShow, 1);
         }),
         ColSpecial, false, false, Icon(BitShutdown)},
        {"after-start special shows the inverted cross",
         [](ReminderRow& r) {
             r.setInteger(Col::AfterStart, 1);
             r.setInteger(Col::Special, 1);
         },
         ColSpecial, false, true, Icon(BitShutdownInv)},
    };
    for (const CellCase& c : cases) {
        ReminderRow row;
        c.setup(row);
        const Moment next = c.past ? Now - std::chrono::hours(24) : Now + std::chrono::hours(24);
        EXPECT_EQ(DecideCell(row, c.column, next, Now, c.inFocus), c.expected) << c.name;
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
    EXPECT_EQ(Cell(0, ColComment), "alpha date");
    EXPECT_EQ(Cell(1, ColComment), "Beta after start");
    EXPECT_EQ(Cell(2, ColComment), "gamma days");

    EXPECT_EQ(Cell(0, ColDescription), "Specific date and time : 24.12.2026 18:30");
    EXPECT_EQ(Cell(0, ColDT), "24.12.2026 18:30");
    EXPECT_EQ(Cell(1, ColDescription), "After starting, after 10 minutes");
    EXPECT_EQ(Cell(1, ColDT), "01.01.2000 00:00");
    EXPECT_EQ(Cell(2, ColDescription), "Days of week : Mon, Wed, Fri : 08:00");
    EXPECT_EQ(Cell(2, ColDT), "09.12.2026 08:00");
    EXPECT_EQ(Cell(2, ColMessShow), "");

    // A minute later the view is told to recompute; Wednesday 08:00 has passed.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.SetNow(makeMoment(2026, 12, 9, 8, 1));
    model.RefreshCalcFields();
    ASSERT_EQ(changed.count(), 1);
    const auto from = changed[0][0].value<QModelIndex>();
    const auto to = changed[0][1].value<QModelIndex>();
    EXPECT_EQ(from.row(), 0);
    EXPECT_EQ(to.row(), 2);
    EXPECT_LE(from.column(), ColComment);
    EXPECT_GE(to.column(), ColDT);
    EXPECT_EQ(Cell(2, ColDT), "11.12.2026 08:00");
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
        model.SetNow(FakeClock::inZone(c.now));
        EXPECT_EQ(Cell(0, ColDT), c.shown);
    }
}

TEST_F(ListTest, OnlyTheTextColumnsTakeTitles) {
    EXPECT_EQ(model.headerData(ColDT, Qt::Horizontal).toString(), "Next time");
    EXPECT_TRUE(model.setHeaderData(ColComment, Qt::Horizontal, "Nachricht"));
    EXPECT_EQ(model.headerData(ColComment, Qt::Horizontal).toString(), "Nachricht");
    for (int c : {ColAfterStart, ColMessShow, ColHint, ColSound, ColAnim, ColRunProg, ColSpecial}) {
        EXPECT_FALSE(model.setHeaderData(c, Qt::Horizontal, "x")) << c;
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), "") << c;
    }
}

TEST_F(ListTest, RefreshCalcFieldsDoesNothingWhenClosedOrEmpty) {
    ReminderRepository closed;
    ThingsListModel closedModel(closed);
    QSignalSpy closedChanged(&closedModel, &QAbstractItemModel::dataChanged);
    QSignalSpy closedReset(&closedModel, &QAbstractItemModel::modelReset);
    closedModel.RefreshCalcFields();
    EXPECT_EQ(closedChanged.count() + closedReset.count(), 0);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.RefreshCalcFields(); // open but empty
    EXPECT_EQ(changed.count() + reset.count(), 0);
}

TEST_F(ListTest, RefreshAfterAnUnannouncedChangeReadsTheRowsAgain) {
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    ASSERT_TRUE(data.saveReminder(NewReminder("quiet"), Now).saved); // no tableChanged
    model.RefreshCalcFields();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(ListTest, GridKeepsTheCurrentReminderAcrossChanges) {
    ThingsGrid grid(model);
    Add(NewReminder("alpha"));
    const std::int32_t beta = Add(NewReminder("beta"));
    Add(NewReminder("gamma"));

    // Choosing a row in the grid makes it the row the commands act on.
    grid.setCurrentIndex(model.index(1, ColComment));
    ASSERT_NE(data.listCursor().current(), nullptr);
    EXPECT_EQ(data.listCursor().current()->integer(Col::N), beta);

    // Renaming it moves it to the end; it stays current.
    Reminder renamed = *currentReminder(data.listCursor());
    renamed.message = "zulu";
    ASSERT_TRUE(data.saveReminder(renamed, Now).saved);
    model.tableChanged();
    EXPECT_EQ(grid.currentIndex().row(), 2);
    EXPECT_EQ(Cell(grid.currentIndex().row(), ColComment), "zulu");
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(2, {}));

    // Deleting the current (last) one leaves the row now at its place current.
    ASSERT_TRUE(data.deleteReminder(beta));
    model.tableChanged();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_EQ(Cell(1, ColComment), "gamma");
    EXPECT_EQ(data.listCursor().current()->text(Col::Comment), "gamma");

    // A new reminder becomes current.
    Add(NewReminder("Aardvark"));
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(data.listCursor().current()->text(Col::Comment), "Aardvark");
}

// --- keys, moves, highlighting -------------------------------------------------

TEST_F(ListTest, KeysAndDoubleClickAskForCommands) {
    Add(NewReminder("alpha"));
    ThingsGrid grid(model);
    grid.resize(500, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy added(&grid, &ThingsGrid::newThingRequested);
    QSignalSpy edited(&grid, &ThingsGrid::editThingRequested);
    QSignalSpy deleted(&grid, &ThingsGrid::deleteThingRequested);
    QTest::keyClick(&grid, Qt::Key_Insert);
    QTest::keyClick(&grid, Qt::Key_Delete);
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClick(&grid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(added.count(), 1);
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(edited.count(), 2);
    const QPoint cell = grid.visualRect(model.index(0, ColComment)).center();
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(edited.count(), 3);
}

TEST_F(ListTest, DraggedColumnGoesBack) {
    ThingsGrid grid(model);
    QHeaderView* header = grid.horizontalHeader();
    ASSERT_TRUE(header->sectionsMovable());
    header->moveSection(1, 6);
    header->moveSection(9, 0);
    for (int c = 0; c < ListColumnCount; ++c)
        EXPECT_EQ(header->visualIndex(c), c);
}

TEST_F(ListTest, OnlyTheFocusedGridHighlightsItsCurrentRow) {
    Add(NewReminder("alpha"));
    Add(NewReminder("beta"));
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* grid = new ThingsGrid(model);
    auto* other = new QLineEdit;
    layout->addWidget(grid);
    layout->addWidget(other);
    window.resize(500, 200);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    grid->setCurrentIndex(model.index(0, ColComment));

    const auto background = [&](int row) {
        const QRect r = grid->visualRect(model.index(row, ColDescription));
        return grid->viewport()->grab().toImage().pixelColor(r.right() - 3, r.bottom() - 2);
    };
    grid->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->hasFocus(); }));
    EXPECT_TRUE(grid->Infocus(0));
    EXPECT_EQ(background(0), QColor(0, 0, 128));
    EXPECT_EQ(background(1), grid->palette().color(QPalette::Base));

    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }));
    EXPECT_FALSE(grid->Infocus(0));
    EXPECT_EQ(background(0), grid->palette().color(QPalette::Base));
}

// --- column fitting --------------------------------------------------------------

TEST(ColumnFit, SharesTheWidthBetweenMessageAndDescription) {
    struct Case {
        bool growing;
        int grid;
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
        EXPECT_EQ(FitColumnWidths(c.growing, c.grid, c.others, 15, c.from), c.expected)
            << "grid " << c.grid << (c.growing ? " growing" : " narrowing");
}

TEST_F(ListTest, PanelFitsTheColumnsToItsWidth) {
    ThingsPanel panel(model);
    ThingsGrid* grid = panel.Grid();
    const int S = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    const auto others = [&] {
        int f = 0;
        for (int c : {0, 3, 4, 5, 6, 7, 8, 9})
            f += grid->ColumnWidth(c);
        return f;
    };
    // The next-time column fits its texts in the grid's font; the rest are as designed.
    const int F = 115 + grid->ColumnWidth(ColDT);
    EXPECT_EQ(others(), F);
    panel.resize(900, 300);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.Panel2WidthOld() == 900; }));
    EXPECT_EQ(grid->width(), 896); // 2-pixel margin
    EXPECT_EQ(grid->ColumnWidth(ColDescription), 295);
    EXPECT_EQ(grid->ColumnWidth(ColComment), 896 - (F + 295 + 2 * S));

    panel.resize(560, 300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.Panel2WidthOld() == 560; }));
    EXPECT_EQ(grid->ColumnWidth(ColComment), 100);
    EXPECT_EQ(grid->ColumnWidth(ColDescription), 556 - (F + 100 + 2 * S));

    // A column the user widened counts in the next fit.
    const int dt = grid->ColumnWidth(ColDT);
    grid->SetColumnWidth(ColDT, dt + 44);
    panel.resize(540, 300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.Panel2WidthOld() == 540; }));
    EXPECT_EQ(grid->ColumnWidth(ColDescription), 536 - (F + 44 + 100 + 2 * S));
    grid->SetColumnWidth(ColDT, dt);

    // The first fit after loading puts both columns right whatever they were.
    panel.resize(900, 300);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.Panel2WidthOld() == 900; }));
    grid->SetColumnWidth(ColComment, 100);
    grid->SetColumnWidth(ColDescription, 154);
    panel.StartTimerResize();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.TimerResize.isActive(); }));
    EXPECT_EQ(grid->ColumnWidth(ColDescription), 295);
    EXPECT_EQ(grid->ColumnWidth(ColComment), 896 - (F + 295 + 2 * S));
}

TEST_F(ListTest, NextTimeTextsShowWholeInTheProgramFontAndLarger) {
    // Text is drawn 2 pixels into its cell.
    const Moment moments[] = {makeMoment(2088, 8, 28, 20, 8), makeMoment(2026, 12, 10, 12, 11),
                              makeMoment(2099, 12, 31, 23, 59)};
    for (const int pixels :
         {ColorScheme::DefaultPixelSize, ColorScheme::DefaultPixelSize * 3 / 2}) {
        SCOPED_TRACE(pixels);
        ThingsGrid grid(model);
        grid.setFont(ColorScheme::font(pixels));
        const QFontMetrics fm(grid.font());
        for (Moment t : moments)
            EXPECT_LE(2 + fm.horizontalAdvance(NextTimeText(t)), grid.ColumnWidth(ColDT))
                << NextTimeText(t).toStdString();
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
    const TCellImages cells(2.0);
    for (int i = 0; i < CellBitmapCount; ++i) {
        const QPixmap& pm = cells.Bitmap(static_cast<CellBitmap>(i));
        ASSERT_FALSE(pm.isNull()) << i;
        EXPECT_EQ(pm.size(), QSize(32, 32)) << i;
        EXPECT_EQ(pm.deviceIndependentSize(), QSizeF(16, 16)) << i;
        EXPECT_TRUE(HasInk(pm.toImage())) << i;
    }
    EXPECT_NE(cells.Bitmap(BitAnim).toImage(), cells.Bitmap(BitAnimInv).toImage());

    const TrayImageSets tray;
    EXPECT_FALSE(tray.Plain().pixmap(16, 16).isNull());
    EXPECT_EQ(tray.Day(5).pixmap(32, 32).size(), QSize(32, 32));
    for (int d = 2; d <= 31; ++d)
        EXPECT_NE(RenderTrayPicture(TrayPicture::Day, 16, d).toImage(),
                  RenderTrayPicture(TrayPicture::Day, 16, d - 1).toImage())
            << d;
    EXPECT_NE(tray.Animation(0).pixmap(16, 16).toImage(),
              tray.Animation(1).pixmap(16, 16).toImage());
}

} // namespace
