// The About box: opened from the settings page by the mouse and by Space, closed by Enter
// and Esc, and its link to the user guide opened with the keyboard through the desktop's
// opener (a recording handler for file addresses).
#include "core/AppPaths.h"
#include "tests/support/OpenRecorder.h"
#include "tests/support/TempHome.h"
#include "ui/controls/AboutBox.h"
#include "ui/controls/ColorButton.h"
#include "ui/controls/ColorScheme.h"
#include "ui/controls/LinkLabel.h"
#include "ui/main/SettingsPage.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        setExecutablePathForTests(m_programFolder + "/Chimly");
        m_page.show();
        m_page.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_page));
    }
    void TearDown() override {
        delete openBox();
        setExecutablePathForTests("");
    }

    ColorButton* aboutButton() const {
        return m_page.findChild<ColorButton*>(QStringLiteral("aboutButton"));
    }
    // The box the page opened, if one is open.
    AboutBox* openBox() const { return m_page.findChild<AboutBox*>(); }
    // Waits until the box is the active window, modal for the program.
    AboutBox* waitForBox() const {
        AboutBox* box = openBox();
        if (box == nullptr ||
            !QTest::qWaitFor([box] { return QApplication::activeWindow() == box; }))
            return nullptr;
        return QApplication::activeModalWidget() == box ? box : nullptr;
    }
    static void closedBy(QWidget* box, Qt::Key key) {
        QPointer<QWidget> watched(box);
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); })) << "closed and deleted";
    }

    std::string m_programFolder = MakeTempFolder("program");
    SettingsPage m_page;
};

TEST_F(AboutBoxTest, OpensFromTheSettingsPageByClickAndSpaceAndClosesWithEscAndEnter) {
    ColorButton* about = aboutButton();
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(about->isEnabled());

    QTest::mouseClick(about, Qt::LeftButton);
    AboutBox* box = waitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box->parentWidget(), &m_page) << "owned by the window it was opened from";
    closedBy(box, Qt::Key_Escape);

    about->setFocus();
    QTest::keyClick(about, Qt::Key_Space);
    box = waitForBox();
    ASSERT_NE(box, nullptr);
    closedBy(box, Qt::Key_Return);
}

TEST_F(AboutBoxTest, ShowsTheProductVersionLicenceAndAuthorsInTheScheme) {
    QTest::mouseClick(aboutButton(), Qt::LeftButton);
    AboutBox* box = waitForBox();
    ASSERT_NE(box, nullptr);
    QStringList texts;
    for (const QLabel* label : box->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("Chimewell"));
    EXPECT_TRUE(texts.contains("Licence: MIT"));
    EXPECT_TRUE(texts.contains("Author: The Chimewell developers"));
    EXPECT_TRUE(texts.contains(AboutBox::versionText()));
    // The project's version, with the commit when built from a checkout.
    EXPECT_TRUE(AboutBox::versionText().startsWith("Version 0."))
        << AboutBox::versionText().toStdString();
    EXPECT_TRUE(AboutBox::versionText().contains(
        QRegularExpression("^Version [0-9.]+( \\([0-9a-f]{7,}\\))?$")))
        << AboutBox::versionText().toStdString();

    ASSERT_TRUE(ColorScheme::inUse());
    EXPECT_EQ(box->palette().color(QPalette::Window), ColorScheme::schemeColor());
    EXPECT_EQ(box->findChild<ColorButton*>()->color(), ColorScheme::schemeColor());
    EXPECT_GE(box->width(), 345);
    EXPECT_GE(box->height(), 213);
}

TEST_F(AboutBoxTest, TheUserGuideLinkIsReachedWithTabAndOpensTheInstalledHelpFile) {
    OpenRecorder opener;
    QTest::mouseClick(aboutButton(), Qt::LeftButton);
    AboutBox* box = waitForBox();
    ASSERT_NE(box, nullptr);
    auto* link = box->findChild<LinkLabel*>();
    ASSERT_NE(link, nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), link);
    QTest::keyClick(link, Qt::Key_Space);
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.openedFiles().front(), QString::fromStdString(m_programFolder) + "/Help.htm");
    // Opening the link leaves the box open; Esc closes it from the link too.
    ASSERT_EQ(openBox(), box);
    closedBy(box, Qt::Key_Escape);
}

// The guide opens wherever the program is installed: from a folder whose path makes the
// address far longer than the 79 characters other links are held to, and from share/chimewell
// beside the lib/chimewell an installation puts the program in.
TEST_F(AboutBoxTest, TheUserGuideOpensFromALongFolderAndFromTheInstalledShareFolder) {
    const std::string deep = m_programFolder + "/a folder with a rather long name/and another one" +
                             "/and a third to make the path long";
    const std::string installed = m_programFolder + "/usr";
    const struct {
        std::string program;
        std::string guide;
    } cases[] = {{deep, deep + "/Help.htm"},
                 {installed + "/lib/chimewell", installed + "/share/chimewell/Help.htm"}};
    OpenRecorder opener;
    for (const auto& c : cases) {
        fs::create_directories(c.program);
        fs::create_directories(fs::path(c.guide).parent_path());
        std::ofstream(c.guide) << "<!DOCTYPE html>";
        setExecutablePathForTests(c.program + "/Chimly");
        opener.opened.clear();
        QTest::mouseClick(aboutButton(), Qt::LeftButton);
        AboutBox* box = waitForBox();
        ASSERT_NE(box, nullptr);
        auto* link = box->findChild<LinkLabel*>();
        ASSERT_NE(link, nullptr);
        EXPECT_FALSE(link->isRefused()) << link->toolTip().toStdString();
        QTest::mouseClick(link, Qt::LeftButton);
        ASSERT_EQ(opener.opened.size(), 1) << c.guide;
        EXPECT_EQ(opener.openedFiles().front(), QString::fromStdString(c.guide));
        closedBy(box, Qt::Key_Escape);
    }
    ASSERT_GT(QUrl::fromLocalFile(QString::fromStdString(deep)).toString().size(), 79);
}

} // namespace
