// The colour button's looks, drawn offscreen at 1x and 2x and checked at a few pixels,
// and the button used as a user uses it: clicks, double clicks, Space.
#include "ui/controls/ColorButton.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Colours no two of which are alike, so that every pixel says what drew it.
const QColor Light(255, 255, 255);
const QColor Midlight(220, 220, 220);
const QColor Dark(128, 128, 128);
const QColor Frame(0, 0, 0);
const QColor Parent(90, 140, 200);
const QColor Face(200, 230, 120);

class ColorButtonLooks : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        QPalette p = window.palette();
        p.setColor(QPalette::Light, Light);
        p.setColor(QPalette::Midlight, Midlight);
        p.setColor(QPalette::Dark, Dark);
        p.setColor(QPalette::Shadow, Frame);
        p.setColor(QPalette::ButtonText, Qt::black);
        p.setColor(QPalette::Window, Parent);
        window.setPalette(p);
        window.resize(200, 60);
        button->setGeometry(10, 10, 75, 25);
        edit->setGeometry(100, 10, 80, 25);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }

    // The button as drawn at the test's device-pixel ratio.
    QImage drawn() const {
        const int ratio = GetParam();
        QPixmap pixmap(button->size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::magenta);
        button->render(&pixmap);
        return pixmap.toImage();
    }
    // The colour of the logical pixel (x, y), which must cover its device pixels whole.
    QColor at(const QImage& image, int x, int y) const {
        const int ratio = GetParam();
        const QColor first = image.pixelColor(x * ratio, y * ratio);
        for (int dy = 0; dy < ratio; ++dy)
            for (int dx = 0; dx < ratio; ++dx)
                EXPECT_EQ(image.pixelColor(x * ratio + dx, y * ratio + dy), first)
                    << "logical pixel " << x << "," << y << " is blurred";
        return first;
    }
    // The bounding box of the caption: the pixels inside the face that are not the face.
    QRect caption(const QImage& image, const QColor& face) const {
        const int ratio = GetParam();
        QRect box;
        for (int y = 3 * ratio; y < (button->height() - 3) * ratio; ++y)
            for (int x = 3 * ratio; x < (button->width() - 3) * ratio; ++x)
                if (image.pixelColor(x, y) != face)
                    box |= QRect(x, y, 1, 1);
        return box;
    }

    QWidget window;
    ColorButton* button = new ColorButton(QStringLiteral("Edit..."), &window);
    QLineEdit* edit = new QLineEdit(&window);
};

TEST_P(ColorButtonLooks, RaisedInTheParentsColourUntilAColourIsSet) {
    QImage image = drawn();
    EXPECT_EQ(at(image, 0, 0), Light);
    EXPECT_EQ(at(image, 1, 1), Midlight);
    EXPECT_EQ(at(image, 74, 24), Frame);
    EXPECT_EQ(at(image, 73, 23), Dark);
    EXPECT_EQ(at(image, 3, 12), Parent);
    EXPECT_EQ(at(image, 71, 3), Parent);

    // The parent changes colour: the face follows.
    QPalette p = window.palette();
    p.setColor(QPalette::Window, Face);
    window.setPalette(p);
    EXPECT_EQ(at(drawn(), 3, 12), Face);

    button->setColor(Qt::red);
    image = drawn();
    EXPECT_EQ(at(image, 3, 12), QColor(Qt::red));
    EXPECT_EQ(at(image, 0, 0), Light);
    button->unsetColor();
    EXPECT_EQ(at(drawn(), 3, 12), Face);
}

TEST_P(ColorButtonLooks, FocusedHasTheOutlineAndTheDottedRectangleFourPixelsIn) {
    button->setColor(Face);
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    const QImage image = drawn();
    EXPECT_EQ(at(image, 0, 0), Frame) << "outline";
    EXPECT_EQ(at(image, 74, 24), Frame);
    EXPECT_EQ(at(image, 1, 1), Light) << "the raised frame inside the outline";
    EXPECT_EQ(at(image, 2, 2), Midlight);
    EXPECT_EQ(at(image, 72, 22), Dark);
    EXPECT_EQ(at(image, 3, 3), Face);
    // Dots on every other pixel of the rectangle 4 pixels inside the edge.
    EXPECT_EQ(at(image, 4, 4), Frame);
    EXPECT_EQ(at(image, 5, 4), Face);
    EXPECT_EQ(at(image, 6, 4), Frame);
    EXPECT_EQ(at(image, 4, 6), Frame);
    EXPECT_EQ(at(image, 4, 20), Frame);
}

TEST_P(ColorButtonLooks, TheDefaultButtonShowsOnlyTheOutlineWhileAnotherControlHasTheFocus) {
    button->setColor(Face);
    button->setDefault(true);
    ASSERT_TRUE(edit->hasFocus());
    QImage image = drawn();
    EXPECT_EQ(at(image, 0, 0), Frame);
    EXPECT_EQ(at(image, 1, 1), Light);
    EXPECT_EQ(at(image, 4, 4), Face) << "no focus rectangle";

    // Not while another button has the focus.
    ColorButton other(QStringLiteral("Other"), &window);
    other.show();
    other.setFocus();
    image = drawn();
    EXPECT_EQ(at(image, 0, 0), Light);
}

TEST_P(ColorButtonLooks, PressedIsFlatInTheShadowColourWithTheCaptionOnePixelRightAndDown) {
    button->setColor(Face);
    const QRect raised = caption(drawn(), Face);
    ASSERT_FALSE(raised.isEmpty());
    button->setDown(true);
    const QImage image = drawn();
    EXPECT_EQ(at(image, 0, 0), Dark);
    EXPECT_EQ(at(image, 74, 24), Dark);
    EXPECT_EQ(at(image, 1, 1), Face);
    EXPECT_EQ(at(image, 73, 23), Face);
    EXPECT_EQ(caption(image, Face), raised.translated(GetParam(), GetParam()));
}

TEST_P(ColorButtonLooks, DisabledCaptionIsEmbossed) {
    // A highlight shows under the caption only when disabled.
    button->setColor(Face);
    const auto lightPixels = [this](const QImage& image) {
        int n = 0;
        const QRect box = caption(image, Face);
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                n += qMin(image.pixelColor(x, y).blue(), image.pixelColor(x, y).red()) > 235;
        return n;
    };
    EXPECT_EQ(lightPixels(drawn()), 0);
    button->setEnabled(false);
    EXPECT_GT(lightPixels(drawn()), 0);
}

TEST_P(ColorButtonLooks, TheOwnerDrawsOnTopThroughTheDrawnSignal) {
    QRect face;
    QObject::connect(button, &ColorButton::drawn, button,
                     [&face](QPainter* painter, const QRect& rect) {
                         face = rect;
                         painter->fillRect(QRect(rect.topLeft(), QSize(1, 1)), Qt::red);
                     });
    const QImage image = drawn();
    EXPECT_EQ(face, QRect(2, 2, 71, 21));
    EXPECT_EQ(at(image, 2, 2), QColor(Qt::red));
}

INSTANTIATE_TEST_SUITE_P(Ratios, ColorButtonLooks, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "x" + std::to_string(info.param);
                         });

TEST(ColorButton, ClickSpaceAndADoubleClickThatCountsTwice) {
    QWidget window;
    auto* button = new ColorButton(QStringLiteral("Ok"), &window);
    button->setGeometry(10, 10, 75, 25);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicks(button, &QPushButton::clicked);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 2);
    // As the window system delivers it: press, release, press with double click, release.
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                       button->mapTo(&window, button->rect().center()));
    EXPECT_EQ(clicks.count(), 4);
}

TEST(ColorButton, IsAPushButtonToAssistiveTechnology) {
    ColorButton button(QStringLiteral("About..."));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Button);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("About..."));
}

} // namespace
