// The information and question dialogs: their layout arithmetic, and the real windows
// opened modally and inspected while exec() runs.
#include "i18n/Texts.h"
#include "tests/support/LayoutCheck.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WhenModalShown.h"
#include "ui/controls/ColorScheme.h"
#include "ui/dialogs/DialogSeams.h"
#include "ui/dialogs/DialogsCommon.h"
#include "ui/dialogs/InfoDialog.h"
#include "ui/dialogs/QuestionDialog.h"

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
#include <gmock/gmock.h>
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
        const InfoDialog::Layout l = InfoDialog::layOut(c.label, InfoDialog::ButtonSize, c.frame);
        EXPECT_EQ(l.outer, c.outer);
        EXPECT_EQ(l.client, c.client);
        EXPECT_EQ(l.label, QRect(c.labelPos, c.label));
        EXPECT_EQ(l.button, QRect(c.buttonPos, InfoDialog::ButtonSize));
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
        const QuestionDialog::Layout l = QuestionDialog::layOut(
            c.label, QuestionDialog::ButtonSize, QuestionDialog::ButtonSize, c.frame);
        const int frameW = c.frame.left() + c.frame.right();
        const int frameH = c.frame.top() + c.frame.bottom();
        EXPECT_EQ(l.outer, QSize(c.outerWidth, 121 + frameH));
        EXPECT_EQ(l.client, QSize(c.outerWidth - frameW, 121));
        EXPECT_EQ(l.label, QRect(QPoint(c.labelLeft, 36), c.label));
        EXPECT_EQ(l.yes, QRect(QPoint(c.yesLeft, 80), QuestionDialog::ButtonSize));
        EXPECT_EQ(l.no, QRect(QPoint(c.yesLeft + 107 + 13, 80), QuestionDialog::ButtonSize));
    }
}

TEST(QuestionDialogLayout, GrowsOnlyWhereTheDesignedHeightWouldCutSomethingOff) {
    // Three lines of 13: the buttons keep 12 pixels below the question.
    QuestionDialog::Layout l = QuestionDialog::layOut({60, 39}, QuestionDialog::ButtonSize,
                                                      QuestionDialog::ButtonSize, {});
    EXPECT_EQ(l.yes.top(), 36 + 39 + 12);
    EXPECT_EQ(l.client.height(), l.yes.bottom() + 1 + 16);
    // Taller buttons of a larger font: the window grows below them.
    l = QuestionDialog::layOut({66, 20}, {107, 28}, {107, 28}, {});
    EXPECT_EQ(l.yes.top(), 80);
    EXPECT_EQ(l.client.height(), 80 + 28 + 16);
    EXPECT_EQ(l.no, QRect(l.yes.right() + 1 + 13, 80, 107, 28));
}

TEST(LabelTextSize, LineBreakAddsALineAndWidthIsTheWidestLine) {
    const QFontMetrics fm(QApplication::font());
    const QSize one = labelTextSize(QStringLiteral("Short"), fm);
    const QSize wide = labelTextSize(QStringLiteral("A considerably longer line"), fm);
    const QSize two = labelTextSize(QStringLiteral("Short\nA considerably longer line"), fm);
    EXPECT_GT(wide.width(), one.width());
    EXPECT_EQ(two.width(), wide.width());
    EXPECT_GT(two.height(), one.height());
}

// ---- real windows ----

template <typename T> T* child(QDialog* d, const char* name) {
    T* found = d->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class DialogsTest : public ::testing::Test {
protected:
    void TearDown() override { setShowInfoRecorder(nullptr); }
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

InfoSeen showInfoAndClose(const QString& text, QWidget* owner = nullptr) {
    InfoSeen seen;
    WhenModalShown when([&](QDialog* d) {
        auto* label = child<QLabel>(d, "textLabel");
        auto* ok = child<QPushButton>(d, "okButton");
        if (!label || !ok)
            return d->reject();
        seen = {d->windowTitle(),
                d->size(),
                d->frameGeometry().size(),
                d->windowHandle()->frameMargins(),
                label->geometry(),
                ok->geometry(),
                ok->text(),
                labelTextSize(text, label->fontMetrics())};
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    showInfo(text, owner);
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
        const InfoSeen s = showInfoAndClose(text);
        EXPECT_EQ(s.title, QStringLiteral("fMyMessage"));
        EXPECT_EQ(s.buttonText, QStringLiteral("Ok"));
        // The label is exactly as large as its text; the window with its frame
        // follows the rules.
        EXPECT_EQ(s.label.size(), s.textSize);
        const InfoDialog::Layout l =
            InfoDialog::layOut(s.textSize, InfoDialog::ButtonSize, s.frame);
        EXPECT_EQ(s.outer, l.outer);
        EXPECT_EQ(s.size, l.client);
        EXPECT_EQ(s.label, l.label);
        EXPECT_EQ(s.button, l.button);
        EXPECT_GE(s.outer.width(), 170);
        EXPECT_GE(s.outer.height(), 125);
        EXPECT_EQ(s.button.top(), s.label.bottom() + 1 + 20);
    }
    const InfoSeen shortOne = showInfoAndClose(texts[0]);
    const InfoSeen longOne = showInfoAndClose(texts[1]);
    const InfoSeen twoLines = showInfoAndClose(texts[2]);
    EXPECT_EQ(shortOne.outer.width(), 170);
    EXPECT_EQ(longOne.outer.width(), longOne.label.width() + 40);
    EXPECT_GT(twoLines.label.height(), shortOne.label.height());
    EXPECT_EQ(twoLines.button.top() - shortOne.button.top(),
              twoLines.label.height() - shortOne.label.height());
}

TEST_F(DialogsTest, InfoDialogClosesOnSpaceEnterEscAndTheCloseBox) {
    struct Case {
        const char* name;
        std::function<void(QDialog*)> act;
    };
    const Case cases[] = {
        {"Space on Ok",
         [](QDialog*) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); }},
        {"Enter", [](QDialog*) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }},
        {"Esc", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }},
        {"close box", [](QDialog* d) { d->close(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString focus;
        WhenModalShown when([&](QDialog* d) {
            focus =
                QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            c.act(d);
        });
        showInfo(QStringLiteral("Help.htm not found."));
        EXPECT_TRUE(when.ran());
        EXPECT_TRUE(when.dialog.isNull()) << "closed and destroyed";
        EXPECT_EQ(focus, QStringLiteral("okButton"));
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
    showInfo(QStringLiteral("Owned"), &owner);
    EXPECT_TRUE(when.ran());
}

TEST_F(DialogsTest, ShowInfoRecorderReplacesTheDialogUntilCleared) {
    QStringList recorded;
    setShowInfoRecorder([&recorded](const QString& t) { recorded << t; });
    showInfo(QStringLiteral("one"));
    showInfo(QStringLiteral("two"));
    EXPECT_EQ(recorded, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    setShowInfoRecorder(nullptr);
    const InfoSeen s = showInfoAndClose(QStringLiteral("three"));
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

bool ask(const QString& text, const std::function<void(QDialog*)>& act,
         QuestionSeen* seen = nullptr, const Texts& texts = Texts()) {
    WhenModalShown when([&](QDialog* d) {
        auto* label = child<QLabel>(d, "questionLabel");
        auto* yes = child<QPushButton>(d, "yesButton");
        auto* no = child<QPushButton>(d, "noButton");
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
                     labelTextSize(text, label->fontMetrics())};
        act(d);
    });
    const bool answer = askYesNo(text, texts);
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
    EXPECT_FALSE(ask(
        QStringLiteral("Delete note?"), [](QDialog* d) { d->reject(); }, &s));
    EXPECT_EQ(s.title, QStringLiteral("Question"));
    EXPECT_EQ(s.focus, QStringLiteral("noButton"));
    EXPECT_EQ(s.yesText, QStringLiteral("Yes"));
    EXPECT_EQ(s.noText, QStringLiteral("No"));
    EXPECT_EQ(s.outer.width(), 296);
    EXPECT_EQ(s.size.height(), 121);
    EXPECT_EQ(s.label.size(), s.textSize);
    const QuestionDialog::Layout l = QuestionDialog::layOut(s.textSize, QuestionDialog::ButtonSize,
                                                            QuestionDialog::ButtonSize, s.frame);
    EXPECT_EQ(s.outer, l.outer);
    EXPECT_EQ(s.size, l.client);
    EXPECT_EQ(s.label, l.label);
    EXPECT_EQ(s.yes, l.yes);
    EXPECT_EQ(s.no, l.no);
    EXPECT_LT(s.yes.left(), s.no.left()) << "yes stands left";

    const QString longQuestion(80, QLatin1Char('W'));
    EXPECT_FALSE(ask(
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
         [](QDialog* d) {
             QTest::mouseClick(d->findChild<QPushButton*>("noButton"), Qt::LeftButton);
         },
         false},
        {"click Yes",
         [](QDialog* d) {
             QTest::mouseClick(d->findChild<QPushButton*>("yesButton"), Qt::LeftButton);
         },
         true},
        // Yes comes after No in the tab order; Enter then presses it.
        {"Tab, Enter",
         [](QDialog*) {
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
             EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("yesButton"));
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
        EXPECT_EQ(ask(QStringLiteral("Delete note?"), c.act), c.answer);
    }
}

TEST_F(DialogsTest, QuestionUsesTheGivenTexts) {
    Texts texts;
    texts.question = "Vopros";
    texts.yes = "Da";
    texts.no = "Net";
    QuestionSeen s;
    ask(
        QStringLiteral("?"), [](QDialog* d) { d->reject(); }, &s, texts);
    EXPECT_EQ(s.title, QStringLiteral("Vopros"));
    EXPECT_EQ(s.yesText, QStringLiteral("Da"));
    EXPECT_EQ(s.noText, QStringLiteral("Net"));
}

TEST_F(DialogsTest, CannedAnswerIsUsedOnceWithoutShowingAnything) {
    for (const bool canned : {true, false}) {
        setNextAskYesNoAnswer(canned);
        EXPECT_EQ(askYesNo(QStringLiteral("Delete note?")), canned);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    // Used up: the next question shows the dialog again.
    setNextAskYesNoAnswer(true);
    EXPECT_TRUE(askYesNo(QStringLiteral("first")));
    EXPECT_FALSE(ask(QStringLiteral("second"), [](QDialog* d) { d->reject(); }));
}

TEST_F(DialogsTest, BothDialogsTakeTheSchemeColourAndTheProgramFont) {
    ASSERT_TRUE(ColorScheme::inUse());
    for (const bool question : {false, true}) {
        SCOPED_TRACE(question ? "question" : "info");
        QPalette palette;
        QFont font;
        WhenModalShown when([&](QDialog* d) {
            palette = d->palette();
            font = d->font();
            d->reject();
        });
        if (question)
            askYesNo(QStringLiteral("Delete note?"));
        else
            showInfo(QStringLiteral("Help.htm not found."));
        ASSERT_TRUE(when.ran());
        EXPECT_EQ(palette.color(QPalette::Window), ColorScheme::schemeColor());
        EXPECT_EQ(palette.color(QPalette::Button), ColorScheme::schemeColor());
        EXPECT_EQ(font.pixelSize(), ColorScheme::DefaultPixelSize);
    }
}

TEST_F(DialogsTest, WithALargerApplicationFontNothingIsClipped) {
    const ScopedLook larger(Look{QStringLiteral("en"), 1.5, true});
    for (const bool question : {false, true}) {
        SCOPED_TRACE(question ? "question" : "info");
        QStringList clipped{QStringLiteral("not looked at")};
        QSize size;
        WhenModalShown when([&](QDialog* d) {
            clipped = clippedWidgets(d);
            size = d->frameGeometry().size();
            d->reject();
        });
        if (question)
            askYesNo(QStringLiteral("Delete note?"));
        else
            showInfo(QStringLiteral("First line\nSecond line"));
        ASSERT_TRUE(when.ran());
        EXPECT_THAT(clipped, ::testing::IsEmpty());
        EXPECT_GE(size.width(), question ? 296 : 170);
        EXPECT_GE(size.height(), question ? 121 : 125);
    }
}

} // namespace
