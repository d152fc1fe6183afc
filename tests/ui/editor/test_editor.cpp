// The reminder editor driven as a real window: enabling rules, the checks of "Ok",
// keys, the time buttons, the three opening modes with a real table underneath,
// one editor per reminder, failed saves and the file buttons.
#include "ui/editor/UNote.h"

#include "core/AppPaths.h"
#include "tests/platform/FakeSoundPlayer.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempHome.h"
#include "ui/dialogs/DialogSeams.h"
#include "ui/dialogs/ErrorMessage.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

const Moment Now = makeMoment(2026, 12, 9, 9, 5, 30);

// Receives the files the editor asks the desktop to open.
class OpenRecorder final : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl& url) { opened << url.toLocalFile(); }
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTempFolder("editor");
        thingsPath_ = folder_ + "/things.mln";
        ASSERT_TRUE(dm_.load(thingsPath_).ok);
        setErrorMessageRecorderForTests([this](const QString& m) { errorMessages_ << m; });
        setShowInfoRecorder([this](const QString& t) { infos_ << t; });
        ctx_.clock = &clock_;
        ctx_.saveTable = [this] {
            ++tableSaves_;
            return dm_.save(thingsPath_).ok;
        };
        ctx_.tableChanged = [this] { ++tableChanges_; };
    }

    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TfNote*>(w))
                delete w;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setShowInfoRecorder(nullptr);
        setErrorMessageRecorderForTests(nullptr);
        SetEditorFileChooser(nullptr);
    }

    static bool Destroyed(const QPointer<TfNote>& f) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return f.isNull();
    }

    static void Activate(TfNote* f) {
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f, 10000));
    }

    // Every column set to something other than the new-reminder defaults.
    static ReminderRow FullRow(std::int32_t n) {
        ReminderRow r;
        r.setInteger(Col::N, n);
        r.setMoment(Col::Data, makeMoment(2027, 3, 14, 23, 59));
        r.setInteger(Col::DateOrDay, 1);
        const int days[7] = {0, 1, 0, 1, 0, 1, 1};
        const Col dayCols[7] = {Col::Mon, Col::Tue, Col::Wed, Col::Thu,
                                Col::Fri, Col::Sat, Col::Sun};
        for (int i = 0; i < 7; ++i)
            r.setInteger(dayCols[i], days[i]);
        r.setInteger(Col::MessShow, 0);
        r.setInteger(Col::Anim, 1);
        r.setInteger(Col::Sound, 1);
        r.setInteger(Col::Hint, 1);
        r.setInteger(Col::RunProg, 1);
        r.setText(Col::Comment, "Ring Anna — ёжик & <b>co</b>");
        r.setText(Col::SPath, "/tmp/sounds/bell one.wav");
        r.setInteger(Col::WSound, 1);
        r.setInteger(Col::EMonth, 17);
        r.setText(Col::PPath, "/tmp/docs/plan.odt");
        r.setInteger(Col::AfterStart, 1);
        r.setInteger(Col::MinutesAfterStart, 1439);
        r.setMoment(Col::CrDate, makeMoment(2020, 1, 2, 3, 4, 5));
        r.setInteger(Col::Special, 1);
        r.setInteger(Col::Shutdown, 0);
        return r;
    }

    // A monthly reminder on a schedule, other flags flipped.
    static ReminderRow MonthlyRow(std::int32_t n) {
        ReminderRow r = FullRow(n);
        r.setInteger(Col::DateOrDay, 2);
        r.setInteger(Col::AfterStart, 0);
        r.setInteger(Col::MinutesAfterStart, 0);
        r.setInteger(Col::MessShow, 1);
        r.setInteger(Col::WSound, 0);
        r.setInteger(Col::Special, 0);
        r.setInteger(Col::Shutdown, 1);
        r.setInteger(Col::EMonth, 31);
        r.setText(Col::SPath, "");
        r.setText(Col::Comment, "");
        return r;
    }

    // Adds a row to the table file and loads it again.
    void Insert(const ReminderRow& row) {
        fileRows_.push_back(row);
        ASSERT_TRUE(SqliteReminderStore().save(thingsPath_, fileRows_).ok);
        ASSERT_TRUE(dm_.load(thingsPath_).ok);
    }

    TfNote* Edit(std::int32_t n) {
        EXPECT_NE(dm_.findRow(n), nullptr);
        return DoEditThing(n, ctx_);
    }

    std::string folder_;
    std::string thingsPath_;
    ReminderRepository dm_;
    EditorContext ctx_{dm_};
    FakeClock clock_{Now};
    std::vector<ReminderRow> fileRows_;
    QStringList errorMessages_;
    QStringList infos_;
    int tableSaves_ = 0;
    int tableChanges_ = 0;
};

// --- enabling rules ---------------------------------------------------------

TEST_F(EditorTest, ScheduleSideFollowsMomentAndDayKind) {
    TfNote* f = OpenNewEditor(ctx_);
    struct Case {
        bool afterStart;
        int kind;
    };
    // After-start cases come between schedule ones, so that switching back must
    // restore exactly the state of the selected day kind.
    for (const Case c : {Case{false, 0}, Case{true, 1}, Case{false, 1}, Case{true, 2},
                         Case{false, 2}, Case{true, 0}, Case{false, 0}}) {
        SCOPED_TRACE(testing::Message() << "afterStart " << c.afterStart << " kind " << c.kind);
        QRadioButton* kinds[3] = {f->RadioButton1, f->RadioButton2, f->RadioButton3};
        if (c.afterStart) {
            // The day kind is chosen first, then the schedule side is switched off.
            f->rbSchedule->click();
            kinds[c.kind]->click();
            f->rbAfterStart->click();
        } else {
            f->rbSchedule->click();
            kinds[c.kind]->click();
        }
        EXPECT_EQ(f->CheckedRadioMod(), c.kind);
        const bool sched = !c.afterStart;
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(f->DayBox(i)->isEnabled(), sched && c.kind == 1) << "day " << i;
        EXPECT_EQ(f->DE->isEnabled(), sched && c.kind == 0);
        EXPECT_EQ(f->seDay->isEnabled(), sched && c.kind == 2);
        EXPECT_EQ(f->Label5->isEnabled(), sched && c.kind == 2);
        EXPECT_EQ(f->GroupBox5->isEnabled(), sched && c.kind == 2);
        for (QWidget* w :
             {static_cast<QWidget*>(f->RadioButton1), static_cast<QWidget*>(f->RadioButton2),
              static_cast<QWidget*>(f->RadioButton3), static_cast<QWidget*>(f->GroupBox2),
              static_cast<QWidget*>(f->GroupBox4), static_cast<QWidget*>(f->Label1),
              static_cast<QWidget*>(f->Label2), static_cast<QWidget*>(f->spbUpH),
              static_cast<QWidget*>(f->spbDwH), static_cast<QWidget*>(f->spbUpM),
              static_cast<QWidget*>(f->spbDwM)})
            EXPECT_EQ(w->isEnabled(), sched) << w->objectName().toStdString();
        EXPECT_EQ(f->seMinutes->isEnabled(), !sched);
        EXPECT_EQ(f->Label6->isEnabled(), !sched);
        EXPECT_EQ(f->Label7->isEnabled(), !sched);
        // The heads of the two halves always stay usable.
        EXPECT_TRUE(f->rbSchedule->isEnabled());
        EXPECT_TRUE(f->rbAfterStart->isEnabled());
    }
}

TEST_F(EditorTest, ActionBoxesEnableTheirControls) {
    TfNote* f = OpenNewEditor(ctx_);
    struct Case {
        QCheckBox* box;
        std::vector<QWidget*> dependents;
    };
    const Case cases[] = {
        {f->chbMessage, {f->chbWithSound}},
        {f->CHBSound, {f->SpeedButton1, f->SpeedButton2, f->SpeedButton3, f->lbSPath}},
        {f->chbRunProg, {f->SpeedButton4, f->SpeedButton5, f->lbPPath}},
        {f->chbSpecial, {f->rbShutdown, f->rbReboot}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box->objectName().toStdString());
        for (int round = 0; round < 2; ++round) {
            c.box->click();
            for (QWidget* w : c.dependents)
                EXPECT_EQ(w->isEnabled(), c.box->isChecked()) << w->objectName().toStdString();
        }
    }
}

TEST_F(EditorTest, DisabledDayControlsKeepAndSaveTheirValues) {
    TfNote* f = OpenNewEditor(ctx_);
    f->RadioButton2->click();
    f->CheckBox7->click();
    f->RadioButton3->click();
    f->seDay->setValue(20);
    f->RadioButton1->click(); // monthly and weekday controls now disabled
    f->btOkClick();
    ASSERT_EQ(dm_.table().count(), 1u);
    const ReminderRow& row = dm_.table().rowAt(0);
    EXPECT_EQ(row.integer(Col::DateOrDay), 0);
    EXPECT_EQ(row.integer(Col::EMonth), 20);
    EXPECT_EQ(row.integer(Col::Sun), 1);
    EXPECT_EQ(row.integer(Col::Mon), 1);
}

// --- "Ok" ---------------------------------------------------------------------

TEST_F(EditorTest, OkRefusesWithoutADayOrAnAction) {
    struct Case {
        const char* name;
        std::function<void(TfNote*)> arrange;
        std::string text;
        std::function<QWidget*(TfNote*)> focus;
    };
    const Case cases[] = {
        {"days of week, no day",
         [](TfNote* f) {
             f->RadioButton2->click();
             for (int i = 0; i < 5; ++i)
                 f->DayBox(i)->click();
         },
         "At least one day must be marked", [](TfNote* f) { return f->CheckBox1; }},
        {"days of week, no day, after start",
         [](TfNote* f) {
             f->RadioButton2->click();
             for (int i = 0; i < 5; ++i)
                 f->DayBox(i)->click();
             f->rbAfterStart->click();
         },
         "At least one day must be marked", nullptr},
        {"only with click",
         [](TfNote* f) {
             f->chbWithSound->click();
             f->chbMessage->click();
         },
         "At least one item must be marked", [](TfNote* f) { return f->chbMessage; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        infos_.clear();
        TfNote* f = OpenNewEditor(ctx_);
        Activate(f);
        f->Memo1->setFocus();
        c.arrange(f);
        QPointer<TfNote> alive(f);
        f->btOkClick();
        EXPECT_EQ(infos_, QStringList{QString::fromStdString(c.text)});
        if (c.focus) {
            EXPECT_EQ(QApplication::focusWidget(), c.focus(f));
        }
        EXPECT_FALSE(Destroyed(alive));
        EXPECT_FALSE(f->Closing());
        EXPECT_EQ(dm_.table().count(), 0u);
        EXPECT_EQ(tableSaves_, 0);
        delete f;
    }
}

TEST_F(EditorTest, OkWithOnlyAnimationOrSpecialSaves) {
    for (const bool special : {false, true}) {
        TfNote* f = OpenNewEditor(ctx_);
        f->chbMessage->click();
        (special ? f->chbSpecial : f->CHBAnimation)->click();
        QPointer<TfNote> alive(f);
        f->btOkClick();
        EXPECT_TRUE(Destroyed(alive));
    }
    EXPECT_TRUE(infos_.isEmpty());
    EXPECT_EQ(dm_.table().count(), 2u);
}

// --- keys -----------------------------------------------------------------------

TEST_F(EditorTest, EnterMovesTheFocusAlongTheTabOrder) {
    TfNote* f = OpenNewEditor(ctx_);
    Activate(f);
    struct Case {
        QWidget* from;
        QWidget* to;
    };
    // New reminder: "Date" and "On schedule" selected, weekdays and month day disabled.
    const Case cases[] = {
        {f->Memo1, f->chbMessage},
        {f->rbSchedule, f->RadioButton1},
        // Unselected radio buttons and disabled controls are skipped.
        {f->DE, f->Memo1},
        {f->chbWithSound, f->CHBSound},
        // Disabled "Shutdown" and "Reboot" are skipped; after the last control Enter wraps.
        {f->CHBAnimation, f->chbSpecial},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from->objectName().toStdString());
        c.from->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), c.from);
        QTest::keyClick(c.from, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), c.to);
    }
    // chbSpecial is followed by Ok; Enter there does not go on to the buttons.
    f->chbSpecial->setFocus();
    QTest::keyClick(f->chbSpecial, Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), f->btOk);

    // The message box never takes a line break from Enter.
    f->Memo1->setFocus();
    QTest::keyClicks(f->Memo1, QStringLiteral("Tea"));
    QTest::keyClick(f->Memo1, Qt::Key_Return);
    EXPECT_EQ(f->Memo1->toPlainText(), "Tea");

    // After start: Tab from "After start" reaches the minutes, and the schedule side is skipped.
    f->rbAfterStart->click();
    f->rbAfterStart->setFocus();
    QTest::keyClick(f->rbAfterStart, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f->seMinutes);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f->Memo1);
    f->chbSpecial->click();
    f->rbReboot->setFocus();
    QTest::keyClick(f->rbReboot, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), f->chbSpecial);
    QTest::keyClick(f->chbSpecial, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), f->rbShutdown)
        << QApplication::focusWidget()->objectName().toStdString();
}

TEST_F(EditorTest, CtrlEnterAndCtrlSSaveEscCancels) {
    struct Case {
        const char* name;
        QKeyCombination key;
        bool saves;
    };
    const Case cases[] = {
        {"Ctrl+Enter", Qt::CTRL | Qt::Key_Return, true},
        {"Ctrl+keypad Enter", Qt::CTRL | Qt::Key_Enter, true},
        {"Ctrl+S", Qt::CTRL | Qt::Key_S, true},
        {"Esc", QKeyCombination(Qt::Key_Escape), false},
    };
    std::size_t rows = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfNote* f = OpenNewEditor(ctx_);
        Activate(f);
        f->Memo1->setFocus();
        QTest::keyClicks(f->Memo1, QStringLiteral("Tea"));
        QPointer<TfNote> alive(f);
        QTest::keyClick(f->Memo1, c.key.key(), c.key.keyboardModifiers());
        EXPECT_TRUE(Destroyed(alive));
        rows += c.saves ? 1 : 0;
        EXPECT_EQ(dm_.table().count(), rows);
        EXPECT_EQ(tableSaves_, static_cast<int>(rows));
    }
    EXPECT_EQ(dm_.table().rowAt(0).text(Col::Comment), "Tea");
}

TEST_F(EditorTest, OkAndCancelAnswerTheMouseSpaceAndEnter) {
    struct Case {
        const char* name;
        bool ok;
        std::function<void(QPushButton*)> press;
    };
    const auto key = [](Qt::Key k) {
        return [k](QPushButton* b) {
            b->setFocus(Qt::TabFocusReason);
            QTest::keyClick(b, k);
        };
    };
    const Case cases[] = {
        {"Ok clicked", true, [](QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }},
        {"Ok by Space", true, key(Qt::Key_Space)},
        {"Ok by Enter", true, key(Qt::Key_Return)},
        {"Cancel clicked", false, [](QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }},
        {"Cancel by Space", false, key(Qt::Key_Space)},
        {"Cancel by Enter", false, key(Qt::Key_Return)},
    };
    std::size_t rows = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfNote* f = OpenNewEditor(ctx_);
        Activate(f);
        f->Memo1->setPlainText(QStringLiteral("Tea"));
        QPointer<TfNote> alive(f);
        c.press(c.ok ? f->btOk : f->btCancel);
        EXPECT_TRUE(Destroyed(alive));
        rows += c.ok ? 1 : 0;
        EXPECT_EQ(dm_.table().count(), rows);
        EXPECT_EQ(tableSaves_, static_cast<int>(rows));
    }
}

TEST_F(EditorTest, FunctionKeysOfTheMainWindowAreSwallowed) {
    // A window-wide command on the same key in another window never runs from the editor,
    // and the keys do nothing in the editor itself.
    TfNote* f = OpenNewEditor(ctx_);
    Activate(f);
    f->DE->setFocus();
    const QString before = f->Label1->text() + f->DE->text();
    for (Qt::Key k : {Qt::Key_F2, Qt::Key_F4, Qt::Key_F8, Qt::Key_F9})
        QTest::keyClick(f->DE, k);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), f);
    EXPECT_EQ(f->Label1->text() + f->DE->text(), before);
    EXPECT_FALSE(f->Closing());
}

TEST_F(EditorTest, MessageIsLimitedToOneHundredCharacters) {
    TfNote* f = OpenNewEditor(ctx_);
    f->Memo1->setPlainText(QString(99, QLatin1Char('a')) + QStringLiteral("ё😀xyz"));
    EXPECT_EQ(f->Memo1->toPlainText(), QString(99, QLatin1Char('a')) + QStringLiteral("ё"));
    f->Memo1->setPlainText(QString(98, QLatin1Char('a')) + QStringLiteral("😀😀z"));
    EXPECT_EQ(f->Memo1->toPlainText().toUcs4().size(), 100);
    EXPECT_TRUE(f->Memo1->toPlainText().endsWith(QStringLiteral("😀😀")));
}

// --- time buttons ---------------------------------------------------------------

TEST_F(EditorTest, ArrowButtonsStepOnShortAndLongPresses) {
    struct Case {
        const char* name;
        QToolButton* TfNote::*button;
        QString hour, minute;
        int ticks;
        QString hourAfter, minuteAfter;
    };
    const Case cases[] = {
        {"short minute up wraps, hour stays", &TfNote::spbUpM, "07", "59", 0, "07", "00"},
        {"short minute down wraps", &TfNote::spbDwM, "07", "00", 0, "07", "59"},
        {"short hour up wraps", &TfNote::spbUpH, "23", "30", 0, "00", "30"},
        {"released after four ticks: one step", &TfNote::spbDwH, "12", "30", 4, "11", "30"},
        {"released after five ticks: only that tick", &TfNote::spbDwH, "12", "30", 5, "11", "30"},
        {"held ten ticks from 00: six steps", &TfNote::spbDwH, "00", "10", 10, "18", "10"},
        {"held minute up", &TfNote::spbUpM, "05", "58", 7, "05", "01"},
    };
    TfNote* f = OpenNewEditor(ctx_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f->Label1->setText(c.hour);
        f->Label2->setText(c.minute);
        QToolButton* b = f->*c.button;
        f->spbUpMMouseDown(b);
        EXPECT_TRUE(f->Timer1()->isActive());
        for (int i = 0; i < c.ticks; ++i)
            f->Timer1Timer();
        f->spbUpMMouseUp(b);
        EXPECT_FALSE(f->Timer1()->isActive());
        EXPECT_EQ(f->BtCounter, 0);
        EXPECT_EQ(f->Label1->text(), c.hourAfter);
        EXPECT_EQ(f->Label2->text(), c.minuteAfter);
    }
}

TEST_F(EditorTest, ArrowButtonsAnswerTheMouseAndTheRepeatTimer) {
    TfNote* f = OpenNewEditor(ctx_);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    f->Label1->setText("10");
    f->Label2->setText("59");
    QTest::mouseClick(f->spbUpM, Qt::LeftButton);
    EXPECT_EQ(f->Label2->text(), "00");
    EXPECT_EQ(f->Label1->text(), "10");
    EXPECT_EQ(f->Timer1()->interval(), 100);

    // Held: the real timer repeats until released.
    QTest::mousePress(f->spbUpH, Qt::RightButton);
    EXPECT_EQ(f->btNumber, 3);
    EXPECT_TRUE(QTest::qWaitFor([f] { return f->Label1->text() != "10"; }, 10000));
    QTest::mouseRelease(f->spbUpH, Qt::RightButton);
    EXPECT_FALSE(f->Timer1()->isActive());

    // The same steps from the keyboard: Alt+Up/Down for the hour, with Shift for the minute.
    Activate(f);
    f->Memo1->setFocus();
    f->Label1->setText("23");
    f->Label2->setText("00");
    QTest::keyClick(f->Memo1, Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(f->Memo1, Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(f->Label1->text(), "00");
    EXPECT_EQ(f->Label2->text(), "59");

    // Disabled in after-start mode: nothing happens.
    f->rbAfterStart->click();
    const QString hour = f->Label1->text();
    f->spbUpMMouseDown(f->spbUpH);
    f->spbUpMMouseUp(f->spbUpH);
    QTest::keyClick(f->Memo1, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(f->Label1->text(), hour);
    EXPECT_FALSE(f->Timer1()->isActive());
}

// --- opening modes and saving ---------------------------------------------------

TEST_F(EditorTest, NewEditorStartsFromNowAndSavesANewRow) {
    Insert(FullRow(8));
    TfNote* f = OpenNewEditor(ctx_);
    EXPECT_EQ(f->windowTitle(), "New");
    EXPECT_TRUE(f->isNew);
    EXPECT_EQ(f->NumOfThing, -1);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->Label1->text(), "09");
    EXPECT_EQ(f->Label2->text(), "05");
    EXPECT_EQ(f->DE->date(), QDate(2026, 12, 9));
    EXPECT_TRUE(f->RadioButton1->isChecked());
    EXPECT_TRUE(f->rbSchedule->isChecked());
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(f->DayBox(i)->isChecked(), i < 5);
    EXPECT_EQ(f->seDay->value(), 1);
    EXPECT_EQ(f->seMinutes->value(), 2);
    EXPECT_TRUE(f->chbMessage->isChecked());
    EXPECT_FALSE(f->chbWithSound->isChecked() || f->CHBAnimation->isChecked() ||
                 f->CHBSound->isChecked() || f->chbRunProg->isChecked() ||
                 f->chbSpecial->isChecked());
    EXPECT_TRUE(f->rbShutdown->isChecked());
    EXPECT_TRUE(f->lbSPath->text().isEmpty() && f->lbPPath->text().isEmpty());
    EXPECT_TRUE(f->Memo1->toPlainText().isEmpty());

    f->btOkClick();
    ASSERT_EQ(dm_.table().count(), 2u);
    const ReminderRow& row = dm_.table().rowAt(1);
    EXPECT_EQ(row.integer(Col::N), 9);
    EXPECT_EQ(row.text(Col::Comment), "note 9");
    EXPECT_EQ(row.moment(Col::Data), makeMoment(2026, 12, 9, 9, 5));
    EXPECT_EQ(row.moment(Col::CrDate), Now);
    EXPECT_TRUE(row.isNull(Col::Hint));
    EXPECT_EQ(tableSaves_, 1);
    EXPECT_EQ(tableChanges_, 1);
    // The file holds the new row.
    ReminderRepository reread;
    ASSERT_TRUE(reread.load(thingsPath_).ok);
    EXPECT_EQ(reread.table().count(), 2u);
}

TEST_F(EditorTest, EditFillsEveryControlAndSavesTheSameRowBack) {
    for (const ReminderRow& source : {FullRow(4), MonthlyRow(6)}) {
        const std::int32_t n = source.integer(Col::N);
        SCOPED_TRACE(n);
        Insert(source);
        TfNote* f = Edit(n);
        ASSERT_NE(f, nullptr);
        EXPECT_FALSE(f->isNew);
        EXPECT_EQ(f->NumOfThing, n);
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Edit %1").arg(n));
        EXPECT_EQ(f->Label1->text(), "23");
        EXPECT_EQ(f->Label2->text(), "59");
        EXPECT_EQ(f->DE->date(), QDate(2027, 3, 14));
        EXPECT_EQ(f->lbSPath->text().toStdString(), source.text(Col::SPath));
        EXPECT_EQ(f->Memo1->toPlainText().toStdString(), source.text(Col::Comment));
        EXPECT_EQ(f->rbAfterStart->isChecked(), source.integer(Col::AfterStart) == 1);
        EXPECT_EQ(f->seMinutes->isEnabled(), source.integer(Col::AfterStart) == 1);

        QPointer<TfNote> alive(f);
        f->btOkClick();
        EXPECT_TRUE(Destroyed(alive));
        // Every column, creation date and the untouched "Hint" included.
        ASSERT_NE(dm_.findRow(n), nullptr);
        EXPECT_EQ(*dm_.findRow(n), source);
    }
    EXPECT_EQ(dm_.table().count(), 2u);
    EXPECT_EQ(tableSaves_, 2);
}

TEST_F(EditorTest, CopyGetsANewNumberAndLeavesTheSourceUnchanged) {
    const ReminderRow source = FullRow(5);
    Insert(source);
    ReminderRow zeroDay = MonthlyRow(7);
    zeroDay.setInteger(Col::EMonth, 0);
    Insert(zeroDay);

    const Reminder fromRow = reminderFromRow(source);
    TfNote* f = OpenNewEditor(ctx_, &fromRow);
    EXPECT_EQ(f->windowTitle(), "New");
    EXPECT_TRUE(f->isNew);
    EXPECT_EQ(f->NumOfThing, -1);
    EXPECT_EQ(FindEditorForm(5), nullptr);
    EXPECT_EQ(dm_.table().count(), 2u);
    f->btOkClick();

    ASSERT_EQ(dm_.table().count(), 3u);
    EXPECT_EQ(*dm_.findRow(5), source);
    ASSERT_NE(dm_.findRow(8), nullptr);
    ReminderRow expected = source;
    expected.setInteger(Col::N, 8);
    expected.setMoment(Col::CrDate, Now);
    expected = [&] {
        ReminderRow r;
        for (int c = 0; c < ColumnCount; ++c) {
            const Col col = static_cast<Col>(c);
            if (col == Col::Hint || expected.isNull(col))
                continue;
            const ColumnType t = column(col).type;
            if (t == ColumnType::Text)
                r.setText(col, expected.text(col));
            else if (t == ColumnType::Real)
                r.setReal(col, expected.real(col));
            else
                r.setInteger(col, expected.integer(col));
        }
        return r;
    }();
    EXPECT_EQ(*dm_.findRow(8), expected);

    // A month day of 0 comes into the editor as 1.
    const Reminder zero = reminderFromRow(zeroDay);
    EXPECT_EQ(OpenNewEditor(ctx_, &zero)->seDay->value(), 1);
}

// --- one editor per reminder ----------------------------------------------------

TEST_F(EditorTest, OneEditorPerReminderAnyNumberOfNewOnes) {
    Insert(FullRow(7));
    Insert(MonthlyRow(3));
    TfNote* first = Edit(7);
    ASSERT_NE(first, nullptr);
    first->showMinimized();
    first->Memo1->setPlainText("changed, not saved");
    TfNote* again = Edit(7);
    EXPECT_EQ(again, first);
    EXPECT_FALSE(first->isMinimized());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->Memo1->toPlainText(), "changed, not saved");
    EXPECT_EQ(FindEditorForm(7), first);

    TfNote* other = Edit(3);
    EXPECT_NE(other, first);
    EXPECT_EQ(FindEditorForm(3), other);

    TfNote* new1 = OpenNewEditor(ctx_);
    TfNote* new2 = OpenNewEditor(ctx_);
    EXPECT_NE(new1, new2);
    EXPECT_EQ(FindEditorForm(-1), nullptr);

    // A closed editor is no longer found, even before it is destroyed.
    first->close();
    EXPECT_EQ(FindEditorForm(7), nullptr);
    TfNote* fresh = Edit(7);
    EXPECT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->Memo1->toPlainText().toStdString(), FullRow(7).text(Col::Comment));
}

TEST_F(EditorTest, SavingAReminderDeletedMeanwhileKeepsTheEditorOpen) {
    Insert(FullRow(5));
    TfNote* f = Edit(5);
    f->Memo1->setPlainText("my changes");
    ASSERT_TRUE(dm_.deleteReminder(5));
    QPointer<TfNote> alive(f);
    f->btOkClick();
    EXPECT_FALSE(Destroyed(alive));
    EXPECT_FALSE(f->Closing());
    EXPECT_EQ(f->Memo1->toPlainText(), "my changes");
    ASSERT_EQ(errorMessages_.size(), 1);
    EXPECT_TRUE(errorMessages_[0].contains("no longer exists")) << errorMessages_[0].toStdString();
    EXPECT_EQ(dm_.table().count(), 0u);
    EXPECT_EQ(tableSaves_, 0);
    EXPECT_EQ(tableChanges_, 0);
}

// --- file buttons ---------------------------------------------------------------

TEST_F(EditorTest, FilePickersStartInTheirFoldersAndRefuseOverlongPaths) {
    QStringList asked;
    QString answer;
    SetEditorFileChooser([&](QWidget*, const QString& folder, const QString& filter) {
        asked << folder + QLatin1Char('|') + filter;
        return answer;
    });
    const std::string exeFolder = MakeTempFolder("program");
    setExecutablePathForTests(exeFolder + "/Chimly");
    TfNote* f = OpenNewEditor(ctx_);
    f->CHBSound->click();
    f->chbRunProg->click();

    // Without a sounds folder the sound picker starts in the program's folder.
    answer = "/data/bell.wav";
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    std::filesystem::create_directories(exeFolder + "/sounds");
    answer.clear(); // cancelled
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    answer = "/data/report.pdf";
    QTest::mouseClick(f->SpeedButton4, Qt::LeftButton);
    EXPECT_EQ(asked, (QStringList{QString::fromStdString(programFolder()) + "|WAV Files (*.wav)",
                                  QString::fromStdString(soundsFolder()) + "|WAV Files (*.wav)",
                                  QString::fromStdString(documentsFolder()) + "|All Files (*)"}));
    EXPECT_EQ(f->lbSPath->text(), "/data/bell.wav");
    EXPECT_EQ(f->lbPPath->text(), "/data/report.pdf");
    EXPECT_TRUE(infos_.isEmpty());

    // 511 characters are taken, 512 are refused and the previous path stays.
    const QString fits = QStringLiteral("/") + QString(506, QLatin1Char('a')) + ".wav";
    ASSERT_EQ(fits.size(), 511);
    answer = fits;
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(f->lbSPath->text(), fits);
    answer = QStringLiteral("/") + QString(507, QLatin1Char('b')) + ".wav";
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    answer = QStringLiteral("/") + QString(600, QLatin1Char('c'));
    QTest::mouseClick(f->SpeedButton4, Qt::LeftButton);
    EXPECT_EQ(f->lbSPath->text(), fits);
    EXPECT_EQ(f->lbPPath->text(), "/data/report.pdf");
    ASSERT_EQ(infos_.size(), 2);
    EXPECT_TRUE(infos_[0].contains("longer than 511 characters"));

    // Disabled pickers do nothing.
    asked.clear();
    f->CHBSound->click();
    QTest::mouseClick(f->SpeedButton1, Qt::LeftButton);
    EXPECT_TRUE(asked.isEmpty());
    setExecutablePathForTests("");
}

TEST_F(EditorTest, TestButtonsPlayStopAndOpenOnlyExistingFiles) {
    FakeSoundPlayer player;
    OpenRecorder opener;
    QDesktopServices::setUrlHandler("file", &opener, "open");
    const QString wav = QString::fromStdString(MakeTempFolder("snd")) + "/bell.wav";
    const QString doc = QString::fromStdString(MakeTempFolder("doc")) + "/plan.txt";
    for (const QString& p : {wav, doc}) {
        QFile file(p);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    TfNote* f = OpenNewEditor(ctx_);
    f->CHBSound->click();
    f->chbRunProg->click();

    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton); // empty path: nothing
    QTest::mouseClick(f->SpeedButton5, Qt::LeftButton);
    f->lbSPath->setText(wav + ".missing");
    f->lbPPath->setText(doc + ".missing");
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
    QTest::mouseClick(f->SpeedButton5, Qt::LeftButton);
    f->lbSPath->setText(wav);
    f->lbPPath->setText(doc);
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
    QTest::mouseClick(f->SpeedButton3, Qt::LeftButton);
    QTest::mouseClick(f->SpeedButton5, Qt::LeftButton);
    EXPECT_EQ(player.calls, (QStringList{"play " + wav, "stop"}));
    EXPECT_EQ(opener.opened, QStringList{doc});

    // With their boxes unticked the buttons do nothing.
    f->CHBSound->click();
    f->chbRunProg->click();
    QTest::mouseClick(f->SpeedButton2, Qt::LeftButton);
    QTest::mouseClick(f->SpeedButton3, Qt::LeftButton);
    QTest::mouseClick(f->SpeedButton5, Qt::LeftButton);
    EXPECT_EQ(player.calls.size(), 2);
    EXPECT_EQ(opener.opened.size(), 1);
    QDesktopServices::unsetUrlHandler("file");
}

// --- window ---------------------------------------------------------------------

TEST_F(EditorTest, WindowIsAFixedTopLevelWithNamedControls) {
    TfNote* f = OpenNewEditor(ctx_);
    EXPECT_TRUE(f->isWindow());
    EXPECT_EQ(f->parentWidget(), nullptr);
    EXPECT_TRUE(f->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(f->isModal());
    EXPECT_EQ(f->size(), QSize(694, 467));
    EXPECT_EQ(f->minimumSize(), f->maximumSize());
    EXPECT_TRUE(f->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(f->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    for (QToolButton* b : {f->spbUpH, f->spbDwH, f->spbUpM, f->spbDwM})
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);

    QList<QWidget*> named = f->TabOrder();
    for (QWidget* w : {f->SpeedButton1, f->SpeedButton2, f->SpeedButton3, f->SpeedButton4,
                       f->SpeedButton5, f->spbUpH, f->spbDwH, f->spbUpM, f->spbDwM})
        named << w;
    for (QWidget* w : named) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
            << w->objectName().toStdString();
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f->SpeedButton3)->text(QAccessible::Name),
              "Stop test");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f->Memo1)->text(QAccessible::Name), "Message");
}

} // namespace

#include "test_editor.moc"
