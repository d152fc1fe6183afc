// Screenshots of the alert window, the two dialogs and the main window's pages in
// every look of screenshotLooks(), saved in artifacts/ for people to look at; in
// each look nothing may be clipped.
#include "i18n/Texts.h"
#include "tests/support/FakeClock.h"
#include "tests/support/LayoutCheck.h"
#include "tests/support/Screenshot.h"
#include "ui/alert/AlertWindow.h"
#include "ui/dialogs/InfoDialog.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/main/AppController.h"
#include "ui/main/MainWindow.h"

#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>

namespace {

class Screenshots : public ::testing::TestWithParam<Look> {
protected:
    void SetUp() override {
        m_look.emplace(GetParam());
        if (!m_look->supported())
            GTEST_SKIP() << lookName(GetParam()).toStdString() << " is not supported yet";
    }
    void TearDown() override { m_look.reset(); }

    // Checks that nothing in the shown `window` is clipped, then saves its picture as
    // <name>-<look>.png.
    static void take(QWidget* window, const QString& name) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_THAT(clippedWidgets(window), ::testing::IsEmpty());
        const QString file = name + QLatin1Char('-') + lookName(GetParam());
        EXPECT_FALSE(saveScreenshot(window, file).isEmpty()) << file.toStdString();
    }

private:
    std::optional<ScopedLook> m_look;
};

TEST_P(Screenshots, AlertWindow) {
    QPointer<AlertWindow> alert = AlertWindow::showAlert(
        QStringLiteral("Call Anna about the concert tickets"), 7, makeMoment(2026, 12, 9, 8, 0, 0));
    ASSERT_FALSE(alert.isNull());
    take(alert, QStringLiteral("alert-window"));
    delete alert.data();
}

TEST_P(Screenshots, InfoDialog) {
    InfoDialog dialog(nullptr);
    dialog.setText(QString::fromStdString(Texts().noDayMarked));
    dialog.show();
    take(&dialog, QStringLiteral("info-dialog"));
}

TEST_P(Screenshots, QuestionDialog) {
    QuestionDialog dialog(nullptr);
    const Texts texts;
    dialog.setQuestion(QString::fromStdString(texts.deleteReminder), texts);
    dialog.show();
    take(&dialog, QStringLiteral("question-dialog"));
}

TEST_P(Screenshots, MainWindowPages) {
    const FakeClock clock(makeMoment(2026, 12, 9, 8, 0, 0));
    AppController app(clock);
    app.loadReminders();
    Reminder tea;
    tea.isNew = true;
    tea.message = "Call Anna about the concert tickets";
    tea.moment = makeMoment(2026, 12, 24, 18, 30);
    tea.showAlert = tea.flashTray = true;
    Reminder weekly = tea;
    weekly.message = "Water the plants";
    weekly.kind = ScheduleKind::Weekly;
    weekly.days = {true, false, true, false, true, false, false};
    for (const Reminder& r : {tea, weekly})
        ASSERT_TRUE(app.repository().saveReminder(r, clock.now().local).saved);
    MainWindow* window = app.mainWindow();
    window->reloadReminders();
    window->showList();
    take(window, QStringLiteral("main-window-list"));
    window->findChild<QTabWidget*>(QStringLiteral("pages"))->setCurrentIndex(1);
    take(window, QStringLiteral("main-window-settings"));
}

INSTANTIATE_TEST_SUITE_P(Looks, Screenshots, ::testing::ValuesIn(screenshotLooks()),
                         [](const ::testing::TestParamInfo<Look>& info) {
                             return lookName(info.param).toStdString();
                         });

} // namespace
