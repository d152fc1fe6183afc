// The colour scheme's colours, fonts and recolouring, and the sizes the program's own buttons ask
// for at the default font and at a larger one.
#include "tests/support/Screenshot.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/ColorScheme.h"
#include "ui/controls/FlatToolButton.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

TEST(ColorScheme, HoldsTheSchemeAndHighlightColours) {
    EXPECT_EQ(ColorScheme::schemeColor(), QColor(209, 208, 203));
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

TEST(ColorScheme, AppliedToAWindowReachesEveryNestedControlButPanelsAndSplitters) {
    QWidget window;
    auto* group = new QGroupBox(&window);
    auto* panel = new QFrame(group);
    ColorScheme::fill(panel, Qt::white);
    auto* nested = new ColorButton(QStringLiteral("Ok"), panel);
    auto* splitter = new QSplitter(&window);
    ColorScheme::fill(splitter, Qt::yellow);
    auto* bar = new QToolBar(&window);
    auto* status = new QStatusBar(&window);
    auto* table = new QTableView(splitter);
    auto* menu = new QMenu(&window);
    const QColor menuColour = menu->palette().color(QPalette::Window);
    EXPECT_EQ(nested->color(), QColor(Qt::white)) << "follows its panel until recoloured";

    ColorScheme::applyColorScheme(&window);
    const QColor scheme = ColorScheme::schemeColor();
    EXPECT_EQ(window.palette().color(QPalette::Window), scheme);
    EXPECT_EQ(window.palette().color(QPalette::Button), scheme);
    EXPECT_TRUE(window.autoFillBackground());
    for (QWidget* w : std::initializer_list<QWidget*>{group, bar, status}) {
        EXPECT_EQ(w->palette().color(QPalette::Window), scheme) << w->metaObject()->className();
        EXPECT_TRUE(w->autoFillBackground()) << w->metaObject()->className();
    }
    EXPECT_EQ(nested->color(), scheme) << "reached inside a panel inside a group box";
    EXPECT_EQ(table->horizontalHeader()->palette().color(QPalette::Button), scheme);
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(splitter->palette().color(QPalette::Window), QColor(Qt::yellow));
    EXPECT_EQ(menu->palette().color(QPalette::Window), menuColour) << "pop-ups are no windows";

    // One control at a time: a splitter takes the colour when asked directly.
    ColorScheme::recolorControl(splitter);
    EXPECT_EQ(splitter->palette().color(QPalette::Window), scheme);
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
