// The hyperlink label: the address each type opens, the refusal of one too long to open
// whole, and the label used with the mouse, the keyboard and assistive technology. The
// desktop's opener is a recording handler per scheme.
#include "tests/support/OpenRecorder.h"
#include "ui/controls/LinkLabel.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const QStringList AllSchemes = {"file",   "ftp",  "gopher", "http", "https",
                                "mailto", "news", "telnet", "wais"};

struct TargetCase {
    LinkLabel::UrlType type;
    QString caption;
    bool addsPrefix;
    QString target;
};

TEST(LinkLabel, EachTypeOpensItsPrefixAndTheCaptionButNeverASecondPrefix) {
    using T = LinkLabel::UrlType;
    const TargetCase cases[] = {
        {T::File, "/usr/lib/chimewell/Help.htm", true, "file:///usr/lib/chimewell/Help.htm"},
        {T::Ftp, "ftp.example.org/pub", true, "ftp://ftp.example.org/pub"},
        {T::Gopher, "gopher.example.org", true, "gopher://gopher.example.org"},
        {T::Http, "www.example.org", true, "http://www.example.org"},
        {T::Https, "www.example.org/a?b=c&d", true, "https://www.example.org/a?b=c&d"},
        {T::Mailto, "someone@example.org", true, "mailto:someone@example.org"},
        {T::News, "comp.lang.c++", true, "news:comp.lang.c++"},
        {T::Telnet, "bbs.example.org", true, "telnet:bbs.example.org"},
        {T::Wais, "wais.example.org", true, "wais:wais.example.org"},
        {T::Http, "http://www.example.org", true, "http://www.example.org"},
        {T::Http, "HTTP://www.example.org", true, "HTTP://www.example.org"},
        {T::Mailto, "mailto:someone@example.org", true, "mailto:someone@example.org"},
        {T::Http, "www.example.org", false, "www.example.org"},
        {T::Https, "ftp://elsewhere.example.org", false, "ftp://elsewhere.example.org"},
    };
    OpenRecorder opener(AllSchemes);
    for (const TargetCase& c : cases) {
        LinkLabel link;
        link.setUrlType(c.type);
        link.setAddsPrefix(c.addsPrefix);
        link.setText(c.caption);
        EXPECT_EQ(link.target(), c.target) << c.caption.toStdString();
        EXPECT_EQ(link.toolTip(), c.target);
        if (QUrl(c.target).scheme().isEmpty())
            continue; // nothing the desktop could open
        opener.opened.clear();
        EXPECT_TRUE(link.open()) << c.target.toStdString();
        ASSERT_EQ(opener.opened.size(), 1) << c.target.toStdString();
        const QUrl& url = opener.opened.front();
        EXPECT_EQ(url.scheme(), c.target.section(QLatin1Char(':'), 0, 0).toLower());
        if (c.type == T::File)
            EXPECT_EQ(url.toLocalFile(), c.caption);
        else
            EXPECT_EQ(url.toString(), QUrl(c.target).toString());
    }
}

TEST(LinkLabel, AFileAddressOpensThePathAsItStands) {
    OpenRecorder opener({"file"});
    LinkLabel link;
    link.setUrlType(LinkLabel::UrlType::File);
    link.setText("/home/someone/My #1 guide/100% Help.htm");
    EXPECT_TRUE(link.open());
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.opened.front().toLocalFile(), link.text());
}

TEST(LinkLabel, AnAddressOverSeventyNineCharactersIsRefusedNotCut) {
    OpenRecorder opener({"http"});
    LinkLabel link;
    link.setUrlType(LinkLabel::UrlType::Http);
    const QString fits = "www.example.org/" + QString(79 - 7 - 16, QLatin1Char('a'));
    link.setText(fits);
    ASSERT_EQ(link.target().size(), 79);
    EXPECT_FALSE(link.isRefused());
    EXPECT_TRUE(link.open());
    EXPECT_EQ(opener.opened.size(), 1);

    link.setText(fits + "b");
    EXPECT_TRUE(link.isRefused());
    EXPECT_TRUE(link.toolTip().contains("longer than 79 characters"))
        << link.toolTip().toStdString();
    EXPECT_TRUE(link.toolTip().contains(link.target()));
    EXPECT_FALSE(link.open());
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(opener.opened.size(), 1) << "nothing more was opened";

    // The prefix counts: the same caption fits without it.
    link.setAddsPrefix(false);
    EXPECT_FALSE(link.isRefused());
}

TEST(LinkLabel, ClickSpaceAndEnterOpenTheLink) {
    OpenRecorder opener({"mailto"});
    QWidget window;
    auto* link = new LinkLabel(&window);
    link->setText("someone@example.org");
    link->move(10, 10);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicks(link, &LinkLabel::clicked);

    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(opener.opened.size(), 1);
    // A press that ends outside the label is no click.
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(opener.opened.size(), 1);

    QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_TRUE(link->hasFocus()) << "reachable with Tab";
    QTest::keyClick(link, Qt::Key_Space);
    QTest::keyClick(link, Qt::Key_Return);
    EXPECT_EQ(opener.opened.size(), 3);
    EXPECT_EQ(clicks.count(), 3);

    // Switched off, or without a caption: the click still comes, nothing opens.
    link->setUrlEnabled(false);
    QTest::mouseClick(link, Qt::LeftButton);
    link->setUrlEnabled(true);
    link->setText({});
    QTest::keyClick(link, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 5);
    EXPECT_EQ(opener.opened.size(), 3);
}

// Pixels that are mostly blue: the link colour, antialiased or not.
int bluePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.blue() > 150 && c.red() < 100 && c.green() < 100;
        }
    return n;
}

// Pixels near white: the highlight of the embossed look.
int whitePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qMin(image.pixelColor(x, y).red(), image.pixelColor(x, y).blue()) > 235;
    return n;
}

TEST(LinkLabel, LinkColourUnderTheMouseShadowAndEmbossedWhenDisabled) {
    QWidget window;
    QPalette p = window.palette();
    p.setColor(QPalette::Window, QColor(160, 160, 160));
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::Light, Qt::white);
    window.setPalette(p);
    auto* link = new LinkLabel(&window);
    link->setText("www.example.org");
    link->setUrlEnabled(false); // the colour changes all the same
    link->resize(link->sizeHint());
    EXPECT_EQ(bluePixels(link->grab().toImage()), 0);

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(link, &enter);
    EXPECT_GT(bluePixels(link->grab().toImage()), 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_EQ(bluePixels(link->grab().toImage()), 0);

    EXPECT_EQ(whitePixels(link->grab().toImage()), 0);
    link->setShadow(2, Qt::white, LinkLabel::ShadowPosition::RightBottom);
    link->resize(link->sizeHint());
    EXPECT_GT(whitePixels(link->grab().toImage()), 0);
    link->setShadowSize(0);
    link->setEnabled(false);
    EXPECT_GT(whitePixels(link->grab().toImage()), 0);
}

TEST(LinkLabel, IsALinkToAssistiveTechnology) {
    OpenRecorder opener({"https"});
    LinkLabel link;
    link.setUrlType(LinkLabel::UrlType::Https);
    link.setText("www.example.org");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&link);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Link);
    EXPECT_EQ(accessible->text(QAccessible::Name), "www.example.org");
    QAccessibleActionInterface* actions = accessible->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.opened.front(), QUrl("https://www.example.org"));
}

} // namespace
