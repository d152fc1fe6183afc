// The reminder editor driven as a real window: enabling rules, the checks of "Ok",
// keys, the time, the three opening modes with a real table underneath, one editor
// per reminder, failed saves, the file rows, and the layout at two font sizes.
#include "ui/editor/ReminderEditor.h"

#include "app/Reminders.h"
#include "core/AppPaths.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tests/support/LayoutCheck.h"
#include "tests/support/OpenRecorder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TempHome.h"
#include "ui/dialogs/DialogSeams.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/editor/FilePathRow.h"
#include "ui/editor/ReminderEditors.h"
#include "ui/editor/TimeStepper.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
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

#include <atomic>
#include <filesystem>
#include <functional>

namespace {

const Moment Now = makeMoment(2026, 12, 9, 9, 5, 30);

const char* const DayNames[7] = {"mondayCheck", "tuesdayCheck",  "wednesdayCheck", "thursdayCheck",
                                 "fridayCheck", "saturdayCheck", "sundayCheck"};

// A control of the editor found by its object name.
template <class W = QWidget> W* part(const QObject* parent, const char* name) {
    auto* w = parent->findChild<W*>(QLatin1String(name));
    if (w == nullptr)
        ADD_FAILURE() << "no " << W::staticMetaObject.className() << " named " << name;
    return w;
}

QAbstractButton* button(const QWidget* editor, const char* name) {
    return part<QAbstractButton>(editor, name);
}

QCheckBox* day(const QWidget* editor, int i) {
    return part<QCheckBox>(editor, DayNames[i]);
}

// A button of the sound or the file row.
QToolButton* rowButton(const QWidget* editor, const char* row, const char* name) {
    return part<QToolButton>(part<FilePathRow>(editor, row), name);
}

QString path(const QWidget* editor, const char* row) {
    return part<FilePathRow>(editor, row)->path();
}

// The time as the window shows it.
QString timeShown(const QWidget* editor) {
    return part<QLabel>(editor, "hourLabel")->text() + QLatin1Char(':') +
           part<QLabel>(editor, "minuteLabel")->text();
}

QPlainTextEdit* messageEdit(const QWidget* editor) {
    return part<QPlainTextEdit>(editor, "messageEdit");
}

// A click where the user clicks: on the box of a check box or radio button (their
// widgets are wider than their texts), in the middle of anything else.
void click(QAbstractButton* b) {
    const bool boxed = qobject_cast<QCheckBox*>(b) != nullptr || qobject_cast<QRadioButton*>(b);
    QTest::mouseClick(b, Qt::LeftButton, {},
                      boxed ? QPoint(8, b->height() / 2) : b->rect().center());
}

// The reminder file, counting the saves that write changes into it.
class CountingStore final : public ReminderStore {
public:
    explicit CountingStore(std::atomic<int>& writes) : m_writes(writes) {}
    Status load(const std::string& path, std::vector<ReminderRow>& rows, SideRows& side) override {
        return m_file.load(path, rows, side);
    }
    Status create(const std::string& path, const std::vector<ReminderRow>& rows,
                  const SideRows& side) override {
        return m_file.create(path, rows, side);
    }
    Status write(const std::string& path, const ReminderChanges& changes) override {
        ++m_writes;
        return m_file.write(path, changes);
    }

private:
    SqliteReminderStore m_file;
    std::atomic<int>& m_writes;
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTempFolder("editor");
        thingsPath_ = folder_ + "/things.mln";
        Reload();
        setErrorMessageRecorderForTests([this](const QString& m) { errorMessages_ << m; });
        setShowInfoRecorder([this](const QString& t) { infos_ << t; });
    }

    void TearDown() override {
        for (ReminderEditor* editor : WindowList<ReminderEditor>::all())
            delete editor;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setShowInfoRecorder(nullptr);
        setErrorMessageRecorderForTests(nullptr);
        setFileChooser(nullptr);
    }

    static bool Destroyed(const QPointer<ReminderEditor>& f) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return f.isNull();
    }

    static void Activate(ReminderEditor* f) {
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
        r.setInteger(Col::Sound, 0); // without a file it could not be saved
        r.setText(Col::Comment, "");
        return r;
    }

    // Adds a row to the table file and loads it again.
    void Insert(const ReminderRow& row) {
        fileRows_.push_back(row);
        ASSERT_TRUE(SqliteReminderStore().create(thingsPath_, fileRows_));
        Reload();
    }

    // Reminders and editors over the file as it is now.
    void Reload() {
        editors_.reset();
        reminders_ = std::make_unique<Reminders>(clock_, std::make_unique<CountingStore>(writes_));
        reminders_->setFilePath(thingsPath_);
        QObject::connect(reminders_.get(), &Reminders::changed, [this] { ++tableChanges_; });
        reminders_->load();
        ASSERT_TRUE(reminders_->waitForFile());
        ASSERT_TRUE(reminders_->isLoaded());
        editors_ = std::make_unique<ReminderEditors>(*reminders_, player_);
    }

    const ReminderRepository& dm() const { return reminders_->repository(); }
    // The saves written so far, once those given are done.
    int tableSaves() {
        EXPECT_TRUE(reminders_->waitForFile());
        return writes_;
    }

    std::string folder_;
    std::string thingsPath_;
    FakeClock clock_{Now};
    std::atomic<int> writes_ = 0;
    FakeSoundPlayer player_;
    std::unique_ptr<Reminders> reminders_;
    std::unique_ptr<ReminderEditors> editors_;
    std::vector<ReminderRow> fileRows_;
    QStringList errorMessages_;
    QStringList infos_;
    int tableChanges_ = 0;
};

// --- enabling rules ---------------------------------------------------------

TEST_F(EditorTest, ScheduleSideFollowsMomentAndDayKind) {
    ReminderEditor* f = editors_->openNew();
    struct Case {
        bool afterStart;
        int kind;
    };
    const char* const kinds[3] = {"onceRadio", "weeklyRadio", "monthlyRadio"};
    // After-start cases come between schedule ones, so that switching back must
    // restore exactly the state of the selected day kind.
    for (const Case c : {Case{false, 0}, Case{true, 1}, Case{false, 1}, Case{true, 2},
                         Case{false, 2}, Case{true, 0}, Case{false, 0}}) {
        SCOPED_TRACE(testing::Message() << "afterStart " << c.afterStart << " kind " << c.kind);
        // The day kind is chosen on the schedule side, then that side may be switched off.
        click(button(f, "scheduledRadio"));
        click(button(f, kinds[c.kind]));
        if (c.afterStart)
            click(button(f, "afterStartRadio"));
        EXPECT_EQ(f->scheduleKind(), static_cast<ScheduleKind>(c.kind));
        const bool sched = !c.afterStart;
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(day(f, i)->isEnabled(), sched && c.kind == 1) << "day " << i;
        EXPECT_EQ(part(f, "dateEdit")->isEnabled(), sched && c.kind == 0);
        EXPECT_EQ(part(f, "monthDaySpin")->isEnabled(), sched && c.kind == 2);
        EXPECT_EQ(part(f, "monthDayLabel")->isEnabled(), sched && c.kind == 2);
        for (const char* name :
             {"onceRadio", "weeklyRadio", "monthlyRadio", "dayFrame", "timeFrame", "timeStepper",
              "hourLabel", "minuteLabel", "hourUpButton", "hourDownButton", "minuteUpButton",
              "minuteDownButton"})
            EXPECT_EQ(part(f, name)->isEnabled(), sched) << name;
        for (const char* name : {"startDelaySpin", "startDelayLabel", "startDelayUnitLabel"})
            EXPECT_EQ(part(f, name)->isEnabled(), !sched) << name;
        // The heads of the two halves always stay usable.
        EXPECT_TRUE(button(f, "scheduledRadio")->isEnabled());
        EXPECT_TRUE(button(f, "afterStartRadio")->isEnabled());
    }
}

TEST_F(EditorTest, ActionBoxesEnableTheirControls) {
    ReminderEditor* f = editors_->openNew();
    struct Case {
        const char* box;
        std::vector<QWidget*> dependents;
    };
    const auto row = [f](const char* name) {
        QList<QWidget*> all{part(f, name)};
        all << part(f, name)->findChildren<QWidget*>();
        return std::vector<QWidget*>(all.begin(), all.end());
    };
    const Case cases[] = {
        {"showAlertCheck", {part(f, "clickCheck")}},
        {"playSoundCheck", row("soundRow")},
        {"openFileCheck", row("fileRow")},
        {"powerCheck", {part(f, "powerOffRadio"), part(f, "rebootRadio")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        QAbstractButton* box = button(f, c.box);
        for (int round = 0; round < 2; ++round) {
            click(box);
            for (QWidget* w : c.dependents)
                EXPECT_EQ(w->isEnabled(), box->isChecked()) << w->objectName().toStdString();
        }
    }
}

TEST_F(EditorTest, DisabledDayControlsKeepAndSaveTheirValues) {
    ReminderEditor* f = editors_->openNew();
    click(button(f, "weeklyRadio"));
    click(day(f, 6));
    click(button(f, "monthlyRadio"));
    part<QSpinBox>(f, "monthDaySpin")->setValue(20);
    click(button(f, "onceRadio")); // monthly and weekday controls now disabled
    click(button(f, "okButton"));
    ASSERT_EQ(dm().table().count(), 1u);
    const ReminderRow& row = dm().table().rowAt(0);
    EXPECT_EQ(row.integer(Col::DateOrDay), 0);
    EXPECT_EQ(row.integer(Col::EMonth), 20);
    EXPECT_EQ(row.integer(Col::Sun), 1);
    EXPECT_EQ(row.integer(Col::Mon), 1);
}

// --- "Ok" ---------------------------------------------------------------------

TEST_F(EditorTest, OkRefusesWithoutADayAnActionOrAFile) {
    const auto named = [](const char* name) {
        return [name](ReminderEditor* f) { return part(f, name); };
    };
    const auto chooser = [](const char* row) {
        return [row](ReminderEditor* f) -> QWidget* { return rowButton(f, row, "chooseButton"); };
    };
    struct Case {
        const char* name;
        std::function<void(ReminderEditor*)> arrange;
        std::string text;
        std::function<QWidget*(ReminderEditor*)> focus; // empty: not checked
    };
    const Case cases[] = {
        {"days of week, no day",
         [](ReminderEditor* f) {
             click(button(f, "weeklyRadio"));
             for (int i = 0; i < 5; ++i)
                 click(day(f, i));
         },
         "At least one day must be marked", named("mondayCheck")},
        {"days of week, no day, after start",
         [](ReminderEditor* f) {
             click(button(f, "weeklyRadio"));
             for (int i = 0; i < 5; ++i)
                 click(day(f, i));
             click(button(f, "afterStartRadio"));
         },
         "At least one day must be marked",
         {}},
        {"only with click",
         [](ReminderEditor* f) {
             click(button(f, "clickCheck"));
             click(button(f, "showAlertCheck"));
         },
         "At least one item must be marked", named("showAlertCheck")},
        {"a sound without a file", [](ReminderEditor* f) { click(button(f, "playSoundCheck")); },
         "Choose a sound file", chooser("soundRow")},
        {"a file to open without a file",
         [](ReminderEditor* f) { click(button(f, "openFileCheck")); }, "Choose a file to open",
         chooser("fileRow")},
        {"neither file: the sound first",
         [](ReminderEditor* f) {
             click(button(f, "openFileCheck"));
             click(button(f, "playSoundCheck"));
         },
         "Choose a sound file", chooser("soundRow")},
        {"the sound chosen, no file to open",
         [](ReminderEditor* f) {
             click(button(f, "openFileCheck"));
             click(button(f, "playSoundCheck"));
             part<FilePathRow>(f, "soundRow")->setPath(QStringLiteral("/data/bell.wav"));
         },
         "Choose a file to open", chooser("fileRow")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        infos_.clear();
        ReminderEditor* f = editors_->openNew();
        Activate(f);
        messageEdit(f)->setFocus();
        c.arrange(f);
        QPointer<ReminderEditor> alive(f);
        click(button(f, "okButton"));
        EXPECT_EQ(infos_, QStringList{QString::fromStdString(c.text)});
        if (c.focus) {
            EXPECT_EQ(QApplication::focusWidget(), c.focus(f));
        }
        EXPECT_FALSE(Destroyed(alive));
        EXPECT_FALSE(f->isClosing());
        EXPECT_EQ(dm().table().count(), 0u);
        EXPECT_EQ(tableSaves(), 0);
        delete f;
    }
}

TEST_F(EditorTest, TheFileButtonTakesTabFocusAndSpaceChoosesWithIt) {
    setFileChooser([](QWidget*, const QString&, const QString& filter) {
        return filter.contains(QLatin1String("wav")) ? QStringLiteral("/data/bell.wav")
                                                     : QStringLiteral("/data/report.pdf");
    });
    ReminderEditor* f = editors_->openNew();
    Activate(f);
    // Unticked, the rows are skipped.
    part(f, "playSoundCheck")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), part(f, "openFileCheck"));
    // Ticked, Tab reaches "..." and Space chooses; Enter on the box moves on to it too.
    for (const char* row : {"soundRow", "fileRow"}) {
        SCOPED_TRACE(row);
        QWidget* check =
            part(f, std::string(row) == "soundRow" ? "playSoundCheck" : "openFileCheck");
        check->setFocus();
        QTest::keyClick(check, Qt::Key_Space);
        QTest::keyClick(check, Qt::Key_Tab);
        QToolButton* choose = rowButton(f, row, "chooseButton");
        EXPECT_EQ(QApplication::focusWidget(), choose);
        QTest::keyClick(choose, Qt::Key_Space);
        QTest::keyClick(choose, Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), check);
        QTest::keyClick(check, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), choose);
    }
    EXPECT_EQ(path(f, "soundRow"), "/data/bell.wav");
    EXPECT_EQ(path(f, "fileRow"), "/data/report.pdf");
    // With both files the reminder saves.
    QPointer<ReminderEditor> alive(f);
    click(button(f, "okButton"));
    EXPECT_TRUE(Destroyed(alive));
    EXPECT_TRUE(infos_.isEmpty());
    ASSERT_EQ(dm().table().count(), 1u);
    EXPECT_EQ(dm().table().rowAt(0).text(Col::SPath), "/data/bell.wav");
}

TEST_F(EditorTest, OkWithOnlyAnimationOrSpecialSaves) {
    for (const char* only : {"flashCheck", "powerCheck"}) {
        ReminderEditor* f = editors_->openNew();
        click(button(f, "showAlertCheck"));
        click(button(f, only));
        QPointer<ReminderEditor> alive(f);
        click(button(f, "okButton"));
        EXPECT_TRUE(Destroyed(alive)) << only;
    }
    EXPECT_TRUE(infos_.isEmpty());
    EXPECT_EQ(dm().table().count(), 2u);
}

// --- keys -----------------------------------------------------------------------

TEST_F(EditorTest, EnterMovesTheFocusAlongTheTabOrder) {
    ReminderEditor* f = editors_->openNew();
    Activate(f);
    struct Case {
        const char* from;
        const char* to;
    };
    // New reminder: "Date" and "On schedule" selected, weekdays and month day disabled.
    const Case cases[] = {
        {"messageEdit", "showAlertCheck"},
        {"scheduledRadio", "onceRadio"},
        // Unselected radio buttons and disabled controls are skipped.
        {"dateEdit", "messageEdit"},
        {"clickCheck", "playSoundCheck"},
        // Disabled "Shutdown" and "Reboot" are skipped; after the last control Enter wraps.
        {"flashCheck", "powerCheck"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        QWidget* from = part(f, c.from);
        from->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), from);
        QTest::keyClick(from, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), part(f, c.to));
    }
    // "Special" is followed by Ok; Enter there does not go on to the buttons.
    part(f, "powerCheck")->setFocus();
    QTest::keyClick(part(f, "powerCheck"), Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), part(f, "okButton"));

    // The message box never takes a line break from Enter.
    messageEdit(f)->setFocus();
    QTest::keyClicks(messageEdit(f), QStringLiteral("Tea"));
    QTest::keyClick(messageEdit(f), Qt::Key_Return);
    EXPECT_EQ(messageEdit(f)->toPlainText(), "Tea");

    // After start: from "After start" Enter reaches the minutes, and the schedule side is
    // skipped.
    click(button(f, "afterStartRadio"));
    part(f, "afterStartRadio")->setFocus();
    QTest::keyClick(part(f, "afterStartRadio"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), part(f, "startDelaySpin"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), messageEdit(f));
    click(button(f, "powerCheck"));
    part(f, "rebootRadio")->setFocus();
    QTest::keyClick(part(f, "rebootRadio"), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), part(f, "powerCheck"));
    QTest::keyClick(part(f, "powerCheck"), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), part(f, "powerOffRadio"))
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
        ReminderEditor* f = editors_->openNew();
        Activate(f);
        messageEdit(f)->setFocus();
        QTest::keyClicks(messageEdit(f), QStringLiteral("Tea"));
        QPointer<ReminderEditor> alive(f);
        QTest::keyClick(messageEdit(f), c.key.key(), c.key.keyboardModifiers());
        EXPECT_TRUE(Destroyed(alive));
        rows += c.saves ? 1 : 0;
        EXPECT_EQ(dm().table().count(), rows);
        EXPECT_EQ(tableSaves(), static_cast<int>(rows));
    }
    EXPECT_EQ(dm().table().rowAt(0).text(Col::Comment), "Tea");
}

TEST_F(EditorTest, OkAndCancelAnswerTheMouseSpaceAndEnter) {
    struct Case {
        const char* name;
        bool ok;
        std::function<void(QAbstractButton*)> press;
    };
    const auto key = [](Qt::Key k) {
        return [k](QAbstractButton* b) {
            b->setFocus(Qt::TabFocusReason);
            QTest::keyClick(b, k);
        };
    };
    const Case cases[] = {
        {"Ok clicked", true, click},
        {"Ok by Space", true, key(Qt::Key_Space)},
        {"Ok by Enter", true, key(Qt::Key_Return)},
        {"Cancel clicked", false, click},
        {"Cancel by Space", false, key(Qt::Key_Space)},
        {"Cancel by Enter", false, key(Qt::Key_Return)},
    };
    std::size_t rows = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReminderEditor* f = editors_->openNew();
        Activate(f);
        messageEdit(f)->setPlainText(QStringLiteral("Tea"));
        QPointer<ReminderEditor> alive(f);
        c.press(button(f, c.ok ? "okButton" : "cancelButton"));
        EXPECT_TRUE(Destroyed(alive));
        rows += c.ok ? 1 : 0;
        EXPECT_EQ(dm().table().count(), rows);
        EXPECT_EQ(tableSaves(), static_cast<int>(rows));
    }
}

TEST_F(EditorTest, FunctionKeysOfTheMainWindowAreSwallowed) {
    // A window-wide command on the same key in another window never runs from the editor,
    // and the keys do nothing in the editor itself.
    ReminderEditor* f = editors_->openNew();
    Activate(f);
    auto* date = part<QDateEdit>(f, "dateEdit");
    date->setFocus();
    const QString before = timeShown(f) + date->text();
    for (Qt::Key k : {Qt::Key_F2, Qt::Key_F4, Qt::Key_F8, Qt::Key_F9})
        QTest::keyClick(date, k);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), f);
    EXPECT_EQ(timeShown(f) + date->text(), before);
    EXPECT_FALSE(f->isClosing());
}

TEST_F(EditorTest, MessageIsLimitedToOneHundredCharacters) {
    ReminderEditor* f = editors_->openNew();
    QPlainTextEdit* message = messageEdit(f);
    message->setPlainText(QString(99, QLatin1Char('a')) + QStringLiteral("ё😀xyz"));
    EXPECT_EQ(message->toPlainText(), QString(99, QLatin1Char('a')) + QStringLiteral("ё"));
    message->setPlainText(QString(98, QLatin1Char('a')) + QStringLiteral("😀😀z"));
    EXPECT_EQ(message->toPlainText().toUcs4().size(), 100);
    EXPECT_TRUE(message->toPlainText().endsWith(QStringLiteral("😀😀")));
    // Typing past the limit takes nothing more.
    Activate(f);
    message->setFocus();
    QTest::keyClicks(message, QStringLiteral("bc"));
    EXPECT_EQ(message->toPlainText().toUcs4().size(), 100);
}

// --- the time ---------------------------------------------------------------------

TEST_F(EditorTest, TimeStepsFromTheArrowsAndKeysOnlyOnTheScheduleSide) {
    ReminderEditor* f = editors_->openNew();
    Activate(f);
    auto* stepper = part<TimeStepper>(f, "timeStepper");
    stepper->setValue(QTime(10, 59));
    click(part<QToolButton>(f, "minuteUpButton"));
    EXPECT_EQ(timeShown(f), "10:00");

    // The steps from the keyboard, wherever the focus is: Alt+Up/Down for the hour, with
    // Shift for the minute.
    messageEdit(f)->setFocus();
    stepper->setValue(QTime(23, 0));
    QTest::keyClick(messageEdit(f), Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(messageEdit(f), Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(timeShown(f), "00:59");

    // After start: neither the arrows nor the keys change the time.
    click(button(f, "afterStartRadio"));
    click(part<QToolButton>(f, "hourUpButton"));
    QTest::keyClick(messageEdit(f), Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(timeShown(f), "00:59");
    EXPECT_FALSE(part<QTimer>(f, "repeatTimer")->isActive());

    // The time saved is the one shown, with seconds 0.
    click(button(f, "scheduledRadio"));
    click(part<QToolButton>(f, "hourDownButton"));
    click(button(f, "okButton"));
    ASSERT_EQ(dm().table().count(), 1u);
    EXPECT_EQ(dm().table().rowAt(0).moment(Col::Data), makeMoment(2026, 12, 9, 23, 59));
}

// --- opening modes and saving ---------------------------------------------------

TEST_F(EditorTest, NewEditorStartsFromNowAndSavesANewRow) {
    Insert(FullRow(8));
    ReminderEditor* f = editors_->openNew();
    EXPECT_EQ(f->windowTitle(), "New");
    EXPECT_TRUE(f->isNew());
    EXPECT_EQ(f->number(), -1);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(timeShown(f), "09:05");
    EXPECT_EQ(part<TimeStepper>(f, "timeStepper")->value(), QTime(9, 5));
    EXPECT_EQ(part<QDateEdit>(f, "dateEdit")->date(), QDate(2026, 12, 9));
    for (const char* on : {"onceRadio", "scheduledRadio", "showAlertCheck", "powerOffRadio"})
        EXPECT_TRUE(button(f, on)->isChecked()) << on;
    for (const char* off :
         {"clickCheck", "flashCheck", "playSoundCheck", "openFileCheck", "powerCheck"})
        EXPECT_FALSE(button(f, off)->isChecked()) << off;
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(day(f, i)->isChecked(), i < 5);
    EXPECT_EQ(part<QSpinBox>(f, "monthDaySpin")->value(), 1);
    EXPECT_EQ(part<QSpinBox>(f, "startDelaySpin")->value(), 2);
    EXPECT_TRUE(path(f, "soundRow").isEmpty() && path(f, "fileRow").isEmpty());
    EXPECT_TRUE(messageEdit(f)->toPlainText().isEmpty());

    click(button(f, "okButton"));
    ASSERT_EQ(dm().table().count(), 2u);
    const ReminderRow& row = dm().table().rowAt(1);
    EXPECT_EQ(row.integer(Col::N), 9);
    EXPECT_EQ(row.text(Col::Comment), "note 9");
    EXPECT_EQ(row.moment(Col::Data), makeMoment(2026, 12, 9, 9, 5));
    EXPECT_EQ(row.moment(Col::CrDate), Now);
    EXPECT_TRUE(row.isNull(Col::Hint));
    EXPECT_EQ(tableSaves(), 1);
    EXPECT_EQ(tableChanges_, 1);
    // The file holds the new row.
    ReminderRepository reread;
    ASSERT_TRUE(reread.load(thingsPath_).ok());
    EXPECT_EQ(reread.table().count(), 2u);
}

TEST_F(EditorTest, EditFillsEveryControlAndSavesTheSameRowBack) {
    for (const ReminderRow& source : {FullRow(4), MonthlyRow(6)}) {
        const std::int32_t n = source.integer(Col::N);
        SCOPED_TRACE(n);
        Insert(source);
        ReminderEditor* f = editors_->openEditorFor(n);
        ASSERT_NE(f, nullptr);
        EXPECT_FALSE(f->isNew());
        EXPECT_EQ(f->number(), n);
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Edit %1").arg(n));
        EXPECT_EQ(timeShown(f), "23:59");
        EXPECT_EQ(part<QDateEdit>(f, "dateEdit")->date(), QDate(2027, 3, 14));
        EXPECT_EQ(path(f, "soundRow").toStdString(), source.text(Col::SPath));
        EXPECT_EQ(messageEdit(f)->toPlainText().toStdString(), source.text(Col::Comment));
        EXPECT_EQ(button(f, "afterStartRadio")->isChecked(), source.integer(Col::AfterStart) == 1);
        EXPECT_EQ(part(f, "startDelaySpin")->isEnabled(), source.integer(Col::AfterStart) == 1);

        QPointer<ReminderEditor> alive(f);
        click(button(f, "okButton"));
        EXPECT_TRUE(Destroyed(alive));
        // Every column, creation date and the untouched "Hint" included.
        ASSERT_NE(dm().findRow(n), nullptr);
        EXPECT_EQ(*dm().findRow(n), source);
    }
    EXPECT_EQ(dm().table().count(), 2u);
    EXPECT_EQ(tableSaves(), 2);
    EXPECT_EQ(editors_->openEditorFor(99), nullptr); // no such reminder
}

TEST_F(EditorTest, CopyGetsANewNumberAndLeavesTheSourceUnchanged) {
    const ReminderRow source = FullRow(5);
    Insert(source);
    ReminderRow zeroDay = MonthlyRow(7);
    zeroDay.setInteger(Col::EMonth, 0);
    Insert(zeroDay);

    const Reminder fromRow = reminderFromRow(source);
    ReminderEditor* f = editors_->openNew(&fromRow);
    EXPECT_EQ(f->windowTitle(), "New");
    EXPECT_TRUE(f->isNew());
    EXPECT_EQ(f->number(), -1);
    EXPECT_EQ(WindowList<ReminderEditor>::find(5), nullptr);
    EXPECT_EQ(dm().table().count(), 2u);
    click(button(f, "okButton"));

    ASSERT_EQ(dm().table().count(), 3u);
    EXPECT_EQ(*dm().findRow(5), source);
    ASSERT_NE(dm().findRow(8), nullptr);
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
    EXPECT_EQ(*dm().findRow(8), expected);

    // A month day of 0 comes into the editor as 1.
    const Reminder zero = reminderFromRow(zeroDay);
    EXPECT_EQ(part<QSpinBox>(editors_->openNew(&zero), "monthDaySpin")->value(), 1);
}

// --- one editor per reminder ----------------------------------------------------

TEST_F(EditorTest, OneEditorPerReminderAnyNumberOfNewOnes) {
    Insert(FullRow(7));
    Insert(MonthlyRow(3));
    ReminderEditor* first = editors_->openEditorFor(7);
    ASSERT_NE(first, nullptr);
    first->showMinimized();
    messageEdit(first)->setPlainText("changed, not saved");
    ReminderEditor* again = editors_->openEditorFor(7);
    EXPECT_EQ(again, first);
    EXPECT_FALSE(first->isMinimized());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(messageEdit(first)->toPlainText(), "changed, not saved");
    EXPECT_EQ(WindowList<ReminderEditor>::find(7), first);

    ReminderEditor* other = editors_->openEditorFor(3);
    EXPECT_NE(other, first);
    EXPECT_EQ(WindowList<ReminderEditor>::find(3), other);

    ReminderEditor* new1 = editors_->openNew();
    ReminderEditor* new2 = editors_->openNew();
    EXPECT_NE(new1, new2);
    EXPECT_EQ(WindowList<ReminderEditor>::find(-1), nullptr);

    // A closed editor is no longer found, even before it is destroyed; a destroyed one
    // leaves the registry.
    first->close();
    EXPECT_EQ(WindowList<ReminderEditor>::find(7), nullptr);
    ReminderEditor* fresh = editors_->openEditorFor(7);
    EXPECT_NE(fresh, nullptr);
    EXPECT_EQ(messageEdit(fresh)->toPlainText().toStdString(), FullRow(7).text(Col::Comment));
    delete other;
    EXPECT_EQ(WindowList<ReminderEditor>::find(3), nullptr);
}

TEST_F(EditorTest, SavingAReminderDeletedMeanwhileKeepsTheEditorOpen) {
    Insert(FullRow(5));
    ReminderEditor* f = editors_->openEditorFor(5);
    messageEdit(f)->setPlainText("my changes");
    ASSERT_TRUE(reminders_->remove(5));
    const int savesBefore = tableSaves();
    const int changesBefore = tableChanges_;
    QPointer<ReminderEditor> alive(f);
    click(button(f, "okButton"));
    EXPECT_FALSE(Destroyed(alive));
    EXPECT_FALSE(f->isClosing());
    EXPECT_EQ(messageEdit(f)->toPlainText(), "my changes");
    ASSERT_EQ(errorMessages_.size(), 1);
    EXPECT_TRUE(errorMessages_[0].contains("no longer exists")) << errorMessages_[0].toStdString();
    EXPECT_EQ(dm().table().count(), 0u);
    EXPECT_EQ(tableSaves(), savesBefore);
    EXPECT_EQ(tableChanges_, changesBefore);
}

// --- the file rows --------------------------------------------------------------

TEST_F(EditorTest, FilePickersStartInTheirFoldersAndRefuseOverlongPaths) {
    QStringList asked;
    QString answer;
    setFileChooser([&](QWidget*, const QString& folder, const QString& filter) {
        asked << folder + QLatin1Char('|') + filter;
        return answer;
    });
    const std::string exeFolder = MakeTempFolder("program");
    setExecutablePathForTests(exeFolder + "/Chimly");
    ReminderEditor* f = editors_->openNew();
    click(button(f, "playSoundCheck"));
    click(button(f, "openFileCheck"));
    QToolButton* chooseSound = rowButton(f, "soundRow", "chooseButton");
    QToolButton* chooseFile = rowButton(f, "fileRow", "chooseButton");

    // Without a sounds folder the sound picker starts in the program's folder.
    answer = "/data/bell.wav";
    click(chooseSound);
    std::filesystem::create_directories(exeFolder + "/sounds");
    answer.clear(); // cancelled
    click(chooseSound);
    answer = "/data/report.pdf";
    click(chooseFile);
    EXPECT_EQ(asked, (QStringList{QString::fromStdString(programFolder()) + "|WAV Files (*.wav)",
                                  QString::fromStdString(soundsFolder()) + "|WAV Files (*.wav)",
                                  QString::fromStdString(documentsFolder()) + "|All Files (*)"}));
    EXPECT_EQ(path(f, "soundRow"), "/data/bell.wav");
    EXPECT_EQ(path(f, "fileRow"), "/data/report.pdf");
    EXPECT_TRUE(infos_.isEmpty());

    // 511 characters are taken, 512 are refused and the previous path stays.
    const QString fits = QStringLiteral("/") + QString(506, QLatin1Char('a')) + ".wav";
    ASSERT_EQ(fits.size(), 511);
    answer = fits;
    click(chooseSound);
    EXPECT_EQ(path(f, "soundRow"), fits);
    answer = QStringLiteral("/") + QString(507, QLatin1Char('b')) + ".wav";
    click(chooseSound);
    answer = QStringLiteral("/") + QString(600, QLatin1Char('c'));
    click(chooseFile);
    EXPECT_EQ(path(f, "soundRow"), fits);
    EXPECT_EQ(path(f, "fileRow"), "/data/report.pdf");
    ASSERT_EQ(infos_.size(), 2);
    EXPECT_TRUE(infos_[0].contains("longer than 511 characters"));

    // A long path is cut at the label's edge; it does not widen the window.
    EXPECT_EQ(f->size(), QSize(694, 467));

    // Disabled pickers do nothing.
    asked.clear();
    click(button(f, "playSoundCheck"));
    click(chooseSound);
    EXPECT_TRUE(asked.isEmpty());
    setExecutablePathForTests("");
}

TEST_F(EditorTest, TestButtonsPlayStopAndOpenOnlyExistingFiles) {
    FakeSoundPlayer& player = player_;
    OpenRecorder opener;
    QString answer;
    setFileChooser([&](QWidget*, const QString&, const QString&) { return answer; });
    const QString wav = QString::fromStdString(MakeTempFolder("snd")) + "/bell.wav";
    const QString doc = QString::fromStdString(MakeTempFolder("doc")) + "/plan.txt";
    for (const QString& p : {wav, doc}) {
        QFile file(p);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ReminderEditor* f = editors_->openNew();
    click(button(f, "playSoundCheck"));
    click(button(f, "openFileCheck"));
    QToolButton* testSound = rowButton(f, "soundRow", "testButton");
    QToolButton* stopSound = rowButton(f, "soundRow", "stopButton");
    QToolButton* testFile = rowButton(f, "fileRow", "testButton");
    const auto choose = [&](const char* row, const QString& chosen) {
        answer = chosen;
        click(rowButton(f, row, "chooseButton"));
    };
    // The file row has no stop button.
    EXPECT_FALSE(rowButton(f, "fileRow", "stopButton")->isVisibleTo(f));

    click(testSound); // empty path: nothing
    click(testFile);
    choose("soundRow", wav + ".missing");
    choose("fileRow", doc + ".missing");
    click(testSound);
    click(testFile);
    choose("soundRow", wav);
    choose("fileRow", doc);
    click(testSound);
    click(stopSound);
    click(testFile);
    EXPECT_EQ(player.calls, (QStringList{"play " + wav, "stop"}));
    EXPECT_EQ(opener.openedFiles(), QStringList{doc});

    // With their boxes unticked the buttons do nothing.
    click(button(f, "playSoundCheck"));
    click(button(f, "openFileCheck"));
    click(testSound);
    click(stopSound);
    click(testFile);
    EXPECT_EQ(player.calls.size(), 2);
    EXPECT_EQ(opener.opened.size(), 1);
}

TEST_F(EditorTest, TabReachesTheTestAndStopButtonsAndSpacePressesThem) {
    FakeSoundPlayer& player = player_;
    OpenRecorder opener;
    const QString wav = QString::fromStdString(MakeTempFolder("snd")) + "/bell.wav";
    const QString doc = QString::fromStdString(MakeTempFolder("doc")) + "/plan.txt";
    for (const QString& p : {wav, doc}) {
        QFile file(p);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    setFileChooser([&](QWidget*, const QString&, const QString& filter) {
        return filter.contains(QLatin1String("wav")) ? wav : doc;
    });
    ReminderEditor* f = editors_->openNew();
    Activate(f);
    click(button(f, "playSoundCheck"));
    click(button(f, "openFileCheck"));
    click(rowButton(f, "soundRow", "chooseButton"));
    click(rowButton(f, "fileRow", "chooseButton"));

    // Tab walks the rows' buttons in order; Space presses the one reached.
    part(f, "playSoundCheck")->setFocus();
    const std::pair<QWidget*, bool> walk[] = {{rowButton(f, "soundRow", "chooseButton"), false},
                                              {rowButton(f, "soundRow", "testButton"), true},
                                              {rowButton(f, "soundRow", "stopButton"), true},
                                              {part(f, "openFileCheck"), false},
                                              {rowButton(f, "fileRow", "chooseButton"), false},
                                              {rowButton(f, "fileRow", "testButton"), true},
                                              {part(f, "flashCheck"), false}};
    for (const auto& [expected, press] : walk) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
        if (press)
            QTest::keyClick(expected, Qt::Key_Space);
    }
    EXPECT_EQ(player.calls, (QStringList{"play " + wav, "stop"}));
    EXPECT_EQ(opener.openedFiles(), QStringList{doc});
    // Backtab walks back over them.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), rowButton(f, "fileRow", "testButton"));
}

TEST_F(EditorTest, TestingASoundThatCannotBePlayedShowsWhy) {
    FakeSoundPlayer& player = player_;
    const QString broken = QString::fromStdString(MakeTempFolder("snd")) + "/broken.wav";
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    player.unplayable = {broken};
    setFileChooser([&](QWidget*, const QString&, const QString&) { return broken; });
    ReminderEditor* f = editors_->openNew();
    click(button(f, "playSoundCheck"));
    click(rowButton(f, "soundRow", "chooseButton"));
    QToolButton* testSound = rowButton(f, "soundRow", "testButton");
    const QString shown = QStringLiteral("Cannot play this sound file\n") + FakeSoundPlayer::Reason;
    const std::function<void()> presses[] = {[&] { click(testSound); },
                                             [&] { QTest::keyClick(testSound, Qt::Key_Space); }};
    for (const auto& press : presses) {
        infos_.clear();
        press();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !infos_.isEmpty(); }, 10000));
        EXPECT_EQ(infos_, QStringList{shown});
    }
    EXPECT_EQ(player.calls, (QStringList{"play " + broken, "play " + broken}));
}

// --- the window -----------------------------------------------------------------

TEST_F(EditorTest, WindowIsAFixedTopLevelWithNamedControls) {
    ReminderEditor* f = editors_->openNew();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    EXPECT_TRUE(f->isWindow());
    EXPECT_EQ(f->parentWidget(), nullptr);
    EXPECT_TRUE(f->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(f->isModal());
    EXPECT_EQ(f->size(), QSize(694, 467));
    EXPECT_EQ(f->minimumSize(), f->maximumSize());
    EXPECT_TRUE(f->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(f->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    // Of the flat buttons those of the two file rows are reached by Tab, the time
    // steppers' are not.
    for (QToolButton* b : f->findChildren<QToolButton*>()) {
        const bool inRow = b->parentWidget()->inherits("FilePathRow");
        EXPECT_EQ(b->focusPolicy(), inRow ? Qt::TabFocus : Qt::NoFocus)
            << b->objectName().toStdString();
    }
    for (const char* name : {"okButton", "cancelButton"})
        EXPECT_TRUE(part(f, name)->inherits("ColorButton")) << name;

    // The names assistive technology (and the desktop tests) find the controls by.
    const auto name = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    struct Named {
        QWidget* widget;
        QString name;
    };
    const Named named[] = {
        {part(f, "scheduledRadio"), "On schedule"},
        {part(f, "onceRadio"), "Date"},
        {part(f, "dateEdit"), "Date"},
        {part(f, "weeklyRadio"), "Day of week"},
        {day(f, 0), "Mo"},
        {day(f, 6), "Su"},
        {part(f, "monthlyRadio"), " Every month"},
        {part(f, "monthDaySpin"), "Day"},
        {part(f, "afterStartRadio"), "After start"},
        {part(f, "startDelaySpin"), "After start, minutes"},
        {messageEdit(f), "Message"},
        {part(f, "showAlertCheck"), "Show message"},
        {part(f, "clickCheck"), "with click"},
        {part(f, "playSoundCheck"), "Play sound:"},
        {part(f, "openFileCheck"), "Open file"},
        {part(f, "flashCheck"), "Animation"},
        {part(f, "powerOffRadio"), "Shutdown"},
        {part(f, "rebootRadio"), "Reboot"},
        {part(f, "powerCheck"), "Special"},
        {part(f, "okButton"), "Ok"},
        {part(f, "cancelButton"), "Cancel"},
        {rowButton(f, "soundRow", "chooseButton"), "Select..."},
        {rowButton(f, "soundRow", "testButton"), "Test"},
        {rowButton(f, "soundRow", "stopButton"), "Stop test"},
        {rowButton(f, "fileRow", "chooseButton"), "Select..."},
        {rowButton(f, "fileRow", "testButton"), "Test"},
        {part(f, "hourUpButton"), "Hour up"},
        {part(f, "hourDownButton"), "Hour down"},
        {part(f, "minuteUpButton"), "Minute up"},
        {part(f, "minuteDownButton"), "Minute down"},
        {part(f, "scheduleFrame"), "On schedule"},
        {part(f, "monthDayFrame"), "Every month"},
        {part(f, "soundFrame"), "Play sound"},
        {part(f, "powerFrame"), "Special"},
    };
    for (const Named& n : named)
        EXPECT_EQ(name(n.widget), n.name) << n.widget->objectName().toStdString();
    EXPECT_EQ(part(f, "hourLabel")->accessibleDescription(), "Time");
    EXPECT_EQ(
        part<FilePathRow>(f, "soundRow")->findChild<QLabel*>("pathLabel")->accessibleDescription(),
        "Play sound");
}

TEST_F(EditorTest, LargerFontsGrowTheWindowInsteadOfClipping) {
    Insert(FullRow(4));
    setFileChooser([](QWidget*, const QString&, const QString&) {
        return QStringLiteral("/home/someone/Music/Reminder sounds/a rather long folder/bell.wav");
    });
    for (const double scale : {1.0, 1.5}) {
        SCOPED_TRACE(scale);
        const ScopedLook look(Look{QStringLiteral("en"), scale, true});
        ReminderEditor* f = editors_->openEditorFor(4);
        ASSERT_NE(f, nullptr);
        click(rowButton(f, "soundRow", "chooseButton"));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
        QStringList clipped = clippedWidgets(f);
        if (scale == 1.0) {
            EXPECT_EQ(f->size(), QSize(694, 467));
        } else {
            EXPECT_GT(f->width(), 694);
            EXPECT_GT(f->height(), 467);
        }
        EXPECT_EQ(f->minimumSize(), f->maximumSize());
        // The path labels cut long paths on purpose, and only they.
        EXPECT_EQ(clipped.size(), 1) << clipped.join(", ").toStdString();
        clipped.removeIf([](const QString& s) { return s.startsWith("pathLabel "); });
        EXPECT_TRUE(clipped.isEmpty()) << clipped.join(", ").toStdString();
        delete f;
    }
}

} // namespace
