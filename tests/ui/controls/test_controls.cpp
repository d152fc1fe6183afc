// The colour scheme's colours and fonts, and the sizes the program's own buttons ask
// for at the default font and at a larger one.
#include "tests/support/Screenshot.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/ColorScheme.h"
#include "ui/controls/FlatToolButton.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

TEST(ColorScheme, HoldsTheSchemeAndHighlightColours) {
    EXPECT_EQ(ColorScheme::color(), QColor(209, 208, 203));
    EXPECT_EQ(ColorScheme::highlightColor(), QColor(0, 0, 128));
    EXPECT_EQ(ColorScheme::highlightedTextColor(), QColor(Qt::white));
    EXPECT_TRUE(ColorScheme::inUse()) << "every Linux desktop counts as a newer one";
}

TEST(ColorScheme, FontsAreTheDesignedSizesScaledWithTheApplicationFont) {
    EXPECT_DOUBLE_EQ(ColorScheme::fontScale(), 1.0);
    EXPECT_EQ(ColorScheme::font().pixelSize(), ColorScheme::DefaultPixelSize);
    EXPECT_EQ(ColorScheme::font(16).pixelSize(), 16);
    {
        const ScopedLook larger(Look{QStringLiteral("en"), 1.5, true});
        EXPECT_DOUBLE_EQ(ColorScheme::fontScale(), 1.5);
        EXPECT_EQ(ColorScheme::font().pixelSize(), 17); // 16.5 rounded
        EXPECT_EQ(ColorScheme::font(16).pixelSize(), 24);
    }
    EXPECT_EQ(ColorScheme::font().pixelSize(), ColorScheme::DefaultPixelSize);
    // A font given in pixels counts as well as one given in points.
    const QFont saved = QApplication::font();
    QFont pixels = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    pixels.setPixelSize(QFontInfo(pixels).pixelSize() * 2);
    QApplication::setFont(pixels);
    EXPECT_NEAR(ColorScheme::fontScale(), 2.0, 0.01);
    QApplication::setFont(saved);
}

TEST(ColorScheme, AppliedToAWindowColoursItAndItsButtonFaces) {
    QWidget window;
    QWidget panel(&window);
    ColorScheme::applyTo(&window);
    EXPECT_EQ(window.palette().color(QPalette::Window), ColorScheme::color());
    EXPECT_EQ(window.palette().color(QPalette::Button), ColorScheme::color());
    EXPECT_TRUE(window.autoFillBackground());
    ColorScheme::fill(&panel, Qt::white);
    EXPECT_EQ(panel.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(panel.autoFillBackground());
}

TEST(ColorButton, AsksForItsCaptionsRoomWithoutAMinimumWidthOfItsOwn) {
    ColorButton button(QStringLiteral("Ok"));
    button.setFont(ColorScheme::font());
    const int captionWidth = button.fontMetrics().horizontalAdvance(QStringLiteral("Ok"));
    EXPECT_GT(button.sizeHint().width(), captionWidth);
    EXPECT_LE(button.sizeHint().width(), 75) << "fits the designed 75 x 25";
    EXPECT_LE(button.sizeHint().height(), 25);
    EXPECT_EQ(button.minimumSizeHint(), button.sizeHint());

    button.setText(QStringLiteral("A much longer caption than the designed size"));
    EXPECT_GT(button.sizeHint().width(), 75);
    button.setFont(ColorScheme::font(ColorScheme::DefaultPixelSize * 3 / 2));
    EXPECT_GT(button.sizeHint().height(), 25);
    // It is a push button in every other respect.
    EXPECT_NE(qobject_cast<QPushButton*>(&button), nullptr);
}

TEST(FlatToolButton, IsFlatWithoutFocusAndFitsTheDesignedPostponeButton) {
    FlatToolButton button;
    button.setFont(ColorScheme::font());
    button.setText(QStringLiteral("60"));
    EXPECT_TRUE(button.autoRaise());
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
    EXPECT_LE(button.sizeHint().width(), 23);
    EXPECT_LE(button.sizeHint().height(), 22);
    EXPECT_GT(button.sizeHint().width(), button.fontMetrics().horizontalAdvance("60"));

    button.setFont(ColorScheme::font(ColorScheme::DefaultPixelSize * 3 / 2));
    EXPECT_GT(button.sizeHint().width(), 23);
    EXPECT_GT(button.sizeHint().height(), 22);
    // With an icon it asks what any tool button asks.
    button.setArrowType(Qt::UpArrow);
    EXPECT_EQ(button.sizeHint(), button.QToolButton::sizeHint());
}

} // namespace
