// The information and question dialogs: their layout arithmetic, and the real windows
// opened modally and inspected while exec() runs.
#include "i18n/Texts.h"
#include "ui/dialogs/DialogSeams.h"
#include "ui/dialogs/uMyMessage.h"
#include "ui/dialogs/uMyMessageDlg.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

namespace {

// ---- layout arithmetic ----

struct InfoCase {
    const char* name;
    QSize label;
    QMargins frame;
    QSize outer;
    QSize client;
    QPoint labelPos;
    QPoint buttonPos;
};

TEST(InfoDialogLayout, SizesAndCentresAsDesigned) {
    const InfoCase cases[] = {
        // A few letters: the minimum 170 × 125; 36 / 2 = 18 for the button.
        {"short", {30, 13}, {}, {170, 125}, {170, 125}, {70, 24}, {18, 57}},
        // Half pixels round to the even neighbour: 21.5 -> 22, 20.5 -> 20.
        {"half up", {127, 13}, {}, {170, 125}, {170, 125}, {22, 24}, {18, 57}},
        {"half down", {129, 13}, {}, {170, 125}, {170, 125}, {20, 24}, {18, 57}},
        // Long line: label width + 40; the button's 53.5 -> 54, 54.5 -> 54.
        {"long", {201, 13}, {}, {241, 125}, {241, 125}, {20, 24}, {54, 57}},
        {"long odd", {203, 13}, {}, {243, 125}, {243, 125}, {20, 24}, {54, 57}},
        // Two lines: the button and the height move down with the label.
        {"two lines", {100, 30}, {}, {170, 140}, {170, 140}, {35, 24}, {18, 74}},
        // The sizes are the outer ones: the frame comes off the client area, the
        // positions stay as computed from the outer width.
        {"framed", {201, 30}, {3, 22, 3, 3}, {241, 140}, {235, 115}, {20, 24}, {54, 74}},
    };
    for (const InfoCase& c : cases) {
        SCOPED_TRACE(c.name);
        const InfoDialogLayout l = LayOutInfoDialog(c.label, InfoButtonSize, c.frame);
        EXPECT_EQ(l.outer, c.outer);
        EXPECT_EQ(l.client, c.client);
        EXPECT_EQ(l.label, QRect(c.labelPos, c.label));
        EXPECT_EQ(l.button, QRect(c.buttonPos, InfoButtonSize));
    }
}

TEST(QuestionDialogLayout, KeepsItsHeightAndCentresTheButtonPair) {
    struct Case {
        const char* name;
        QSize label;
        QMargins frame;
        int outerWidth;
        int labelLeft;
        int yesLeft;
    };
    const Case cases[] = {
        // 296 wide; the pair (107 + 13 + 107) starts at 34.5 -> 34.
        {"Delete note?", {66, 13}, {}, 296, 115, 34},
        {"long", {300, 13}, {}, 340, 20, 56},   // 56.5 -> 56
        {"long+1", {301, 13}, {}, 341, 20, 57}, // 57.0
        {"two lines", {60, 30}, {}, 296, 118, 34},
        {"framed", {300, 13}, {3, 22, 3, 3}, 340, 20, 56},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QuestionDialogLayout l =
            LayOutQuestionDialog(c.label, QuestionButtonSize, QuestionButtonSize, c.frame);
        const int frameW = c.frame.left() + c.frame.right();
        const int frameH = c.frame.top() + c.frame.bottom();
        EXPECT_EQ(l.outer, QSize(c.outerWidth, 121 + frameH));
        EXPECT_EQ(l.client, QSize(c.outerWidth - frameW, 121));
        EXPECT_EQ(l.label, QRect(QPoint(c.labelLeft, 36), c.label));
        EXPECT_EQ(l.yes, QRect(QPoint(c.yesLeft, 80), QuestionButtonSize));
        EXPECT_EQ(l.no, QRect(QPoint(c.yesLeft + 107 + 13, 80), QuestionButtonSize));
    }
}

TEST(LabelTextSize, LineBreakAddsALineAndWidthIsTheWidestLine) {
    const QFontMetrics fm(QApplication::font());
    const QSize one = LabelTextSize(QStringLiteral("Short"), fm);
    const QSize wide = LabelTextSize(QStringLiteral("A considerably longer line"), fm);
    const QSize two = LabelTextSize(QStringLiteral("Short\nA considerably longer line"), fm);
    EXPECT_GT(wide.width(), one.width());
    EXPECT_EQ(two.width(), wide.width());
    EXPECT_GT(two.height(), one.height());
}

// ---- real windows ----

// Runs `act` on the modal dialog as soon as it is shown and active, from inside its
// exec(). If none shows within the limit, or `act` leaves it open, the dialog is closed
// so that the test fails instead of hanging.
class WhenModalShown final {
public:
    explicit WhenModalShown(std::function<void(QDialog*)> act) : act_(std::move(act)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Poll(); });
        timer_.start();
    }
    ~WhenModalShown() { timer_.stop(); }
    bool ran() const { return ran_; }
    // The dialog as it was seen, for checks after exec() returned.
    QPointer<QDialog> dialog;

private:
    void Poll() {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (d && !ran_ && d->isVisible() && d->isActiveWindow()) {
            ran_ = true;
            dialog = d;
            act_(d);
            return;
        }
        if (deadline_.hasExpired()) {
            timer_.stop();
            ADD_FAILURE() << (ran_ ? "the dialog stayed open" : "no dialog was shown");
            if (d)
                d->reject();
        }
    }

    std::function<void(QDialog*)> act_;
    QTimer timer_;
    QDeadlineTimer deadline_{20000};
    bool ran_ = false;
};

template <typename T> T* Child(QDialog* d, const char* name) {
    T* child = d->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

class DialogsTest : public ::testing::Test {
protected:
    void TearDown() override { SetShowInfoRecorder(nullptr); }
};

// What a shown information dialog looked like.
struct InfoSeen {
    QString title;
    QSize size;
    QSize outer;
    QMargins frame;
    QRect label;
    QRect button;
    QString buttonText;
    QSize textSize;
};

InfoSeen ShowInfoAndClose(const QString& text, QWidget* owner = nullptr) {
    InfoSeen seen;
    WhenModalShown when([&](QDialog* d) {
        auto* label = Child<QLabel>(d, "Label1");
        auto* ok = Child<QPushButton>(d, "btOk");
        if (!label || !ok)
            return d->reject();
        seen = {d->windowTitle(),
                d->size(),
                d->frameGeometry().size(),
                d->windowHandle()->frameMargins(),
                label->geometry(),
                ok->geometry(),
                ok->text(),
                LabelTextSize(text, label->fontMetrics())};
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    ShowInfo(text, owner);
    EXPECT_TRUE(when.ran());
    EXPECT_TRUE(when.dialog.isNull()) << "the dialog is destroyed when it closes";
    return seen;
}

TEST_F(DialogsTest, InfoDialogSizesItselfToShortLongAndTwoLineTexts) {
    // Offscreen the frame is known before the window shows; under a live X11 window
    // manager it is not, and the window is then sized as if it had none.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        GTEST_SKIP() << "exact outer sizes are checked offscreen";
    const QString texts[] = {
        QStringLiteral("Hi"),
        QStringLiteral("At least one day of the week must be marked for this reminder, "
                       "and this line is long on purpose"),
        QStringLiteral("First line\nSecond line"),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        const InfoSeen s = ShowInfoAndClose(text);
        EXPECT_EQ(s.title, QStringLiteral("fMyMessage"));
        EXPECT_EQ(s.buttonText, QStringLiteral("Ok"));
        // The label is exactly as large as its text; the window with its frame
        // follows the rules.
        EXPECT_EQ(s.label.size(), s.textSize);
        const InfoDialogLayout l = LayOutInfoDialog(s.textSize, InfoButtonSize, s.frame);
        EXPECT_EQ(s.outer, l.outer);
        EXPECT_EQ(s.size, l.client);
        EXPECT_EQ(s.label, l.label);
        EXPECT_EQ(s.button, l.button);
        EXPECT_GE(s.outer.width(), 170);
        EXPECT_GE(s.outer.height(), 125);
        EXPECT_EQ(s.button.top(), s.label.bottom() + 1 + 20);
    }
    const InfoSeen shortOne = ShowInfoAndClose(texts[0]);
    const InfoSeen longOne = ShowInfoAndClose(texts[1]);
    const InfoSeen twoLines = ShowInfoAndClose(texts[2]);
    EXPECT_EQ(shortOne.outer.width(), 170);
    EXPECT_EQ(longOne.outer.width(), longOne.label.width() + 40);
    EXPECT_GT(twoLines.label.height(), shortOne.label.height());
    EXPECT_EQ(twoLines.button.top() - shortOne.button.top(),
              twoLines.label.height() - shortOne.label.height());
}

TEST_F(DialogsTest, InfoDialogClosesOnEscAndOnTheCloseBox) {
    for (const bool esc : {true, false}) {
        SCOPED_TRACE(esc ? "Esc" : "close box");
        WhenModalShown when([esc](QDialog* d) {
            if (esc)
                QTest::keyClick(d, Qt::Key_Escape);
            else
                d->close();
        });
        ShowInfo(QStringLiteral("Help.htm not found."));
        EXPECT_TRUE(when.ran());
    }
}

TEST_F(DialogsTest, InfoDialogIsModalOverItsOwner) {
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("owner"));
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    WhenModalShown when([&owner](QDialog* d) {
        EXPECT_EQ(d->parentWidget(), &owner);
        EXPECT_TRUE(d->isModal());
        d->reject();
    });
    ShowInfo(QStringLiteral("Owned"), &owner);
    EXPECT_TRUE(when.ran());
}

TEST_F(DialogsTest, ShowInfoRecorderReplacesTheDialogUntilCleared) {
    QStringList recorded;
    SetShowInfoRecorder([&recorded](const QString& t) { recorded << t; });
    ShowInfo(QStringLiteral("one"));
    ShowInfo(QStringLiteral("two"));
    EXPECT_EQ(recorded, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    SetShowInfoRecorder(nullptr);
    const InfoSeen s = ShowInfoAndClose(QStringLiteral("three"));
    EXPECT_EQ(s.title, QStringLiteral("fMyMessage"));
    EXPECT_EQ(recorded.size(), 2);
}

// Opens the question dialog, lets `act` answer it and returns the answer; `seen`
// receives the dialog's state at opening.
struct QuestionSeen {
    QString title;
    QSize size;
    QSize outer;
    QMargins frame;
    QString focus;
    QRect label, yes, no;
    QString yesText, noText;
    QSize textSize;
};

bool Ask(const QString& text, const std::function<void(QDialog*)>& act,
         QuestionSeen* seen = nullptr, const Texts& texts = Texts()) {
    WhenModalShown when([&](QDialog* d) {
        auto* label = Child<QLabel>(d, "Label1");
        auto* yes = Child<QPushButton>(d, "btYes");
        auto* no = Child<QPushButton>(d, "btNo");
        if (!label || !yes || !no)
            return d->reject();
        if (seen)
            *seen = {d->windowTitle(),
                     d->size(),
                     d->frameGeometry().size(),
                     d->windowHandle()->frameMargins(),
                     QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                                 : QString(),
                     label->geometry(),
                     yes->geometry(),
                     no->geometry(),
                     yes->text(),
                     no->text(),
                     LabelTextSize(text, label->fontMetrics())};
        act(d);
    });
    const bool answer = AskYesNo(text, texts);
    EXPECT_TRUE(when.ran());
    EXPECT_TRUE(when.dialog.isNull()) << "the dialog is destroyed when it closes";
    return answer;
}

TEST_F(DialogsTest, QuestionDialogOpensWithNoFocusedAndSizedToTheQuestion) {
    // Offscreen the frame is known before the window shows; under a live X11 window
    // manager it is not, and the window is then sized as if it had none.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        GTEST_SKIP() << "exact outer sizes are checked offscreen";
    QuestionSeen s;
    EXPECT_FALSE(Ask(
        QStringLiteral("Delete note?"), [](QDialog* d) { d->reject(); }, &s));
    EXPECT_EQ(s.title, QStringLiteral("Question"));
    EXPECT_EQ(s.focus, QStringLiteral("btNo"));
    EXPECT_EQ(s.yesText, QStringLiteral("Yes"));
    EXPECT_EQ(s.noText, QStringLiteral("No"));
    EXPECT_EQ(s.outer.width(), 296);
    EXPECT_EQ(s.size.height(), 121);
    EXPECT_EQ(s.label.size(), s.textSize);
    const QuestionDialogLayout l =
        LayOutQuestionDialog(s.textSize, QuestionButtonSize, QuestionButtonSize, s.frame);
    EXPECT_EQ(s.outer, l.outer);
    EXPECT_EQ(s.size, l.client);
    EXPECT_EQ(s.label, l.label);
    EXPECT_EQ(s.yes, l.yes);
    EXPECT_EQ(s.no, l.no);
    EXPECT_LT(s.yes.left(), s.no.left()) << "yes stands left";

    const QString longQuestion(80, QLatin1Char('W'));
    EXPECT_FALSE(Ask(
        longQuestion, [](QDialog* d) { d->reject(); }, &s));
    EXPECT_EQ(s.outer.width(), s.textSize.width() + 40);
    EXPECT_EQ(s.size.height(), 121);
}

TEST_F(DialogsTest, QuestionAnswers) {
    struct Case {
        const char* name;
        std::function<void(QDialog*)> act;
        bool answer;
    };
    const Case cases[] = {
        {"Enter at once", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Return); }, false},
        {"Esc", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, false},
        {"close box", [](QDialog* d) { d->close(); }, false},
        {"click No",
         [](QDialog* d) { QTest::mouseClick(d->findChild<QPushButton*>("btNo"), Qt::LeftButton); },
         false},
        {"click Yes",
         [](QDialog* d) { QTest::mouseClick(d->findChild<QPushButton*>("btYes"), Qt::LeftButton); },
         true},
        // Yes comes after No in the tab order; Enter then presses it.
        {"Tab, Enter",
         [](QDialog*) {
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
             EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("btYes"));
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
         },
         true},
        {"Tab, Space",
         [](QDialog*) {
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
         },
         true},
        {"Space at once",
         [](QDialog*) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Ask(QStringLiteral("Delete note?"), c.act), c.answer);
    }
}

TEST_F(DialogsTest, QuestionUsesTheGivenTexts) {
    Texts texts;
    texts.question = "Vopros";
    texts.yes = "Da";
    texts.no = "Net";
    QuestionSeen s;
    Ask(
        QStringLiteral("?"), [](QDialog* d) { d->reject(); }, &s, texts);
    EXPECT_EQ(s.title, QStringLiteral("Vopros"));
    EXPECT_EQ(s.yesText, QStringLiteral("Da"));
    EXPECT_EQ(s.noText, QStringLiteral("Net"));
}

TEST_F(DialogsTest, CannedAnswerIsUsedOnceWithoutShowingAnything) {
    for (const bool canned : {true, false}) {
        SetNextAskYesNoAnswer(canned);
        EXPECT_EQ(AskYesNo(QStringLiteral("Delete note?")), canned);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    // Used up: the next question shows the dialog again.
    SetNextAskYesNoAnswer(true);
    EXPECT_TRUE(AskYesNo(QStringLiteral("first")));
    EXPECT_FALSE(Ask(QStringLiteral("second"), [](QDialog* d) { d->reject(); }));
}

} // namespace
