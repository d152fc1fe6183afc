// Screenshots of the alert window, the two dialogs, the reminder editor, the journal
// window, the About box and the main window's pages in every look of screenshotLooks(),
// saved in artifacts/ for people to look at; in each look nothing may be clipped but what a
// window cuts on purpose.
#include "app/Reminders.h"
#include "core/ReminderRules.h"
#include "core/AppPaths.h"
#include "i18n/Texts.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/LayoutCheck.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TempHome.h"
#include "ui/alert/AlertWindow.h"
#include "ui/controls/AboutBox.h"
#include "ui/dialogs/InfoDialog.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/editor/ReminderEditor.h"
#include "ui/editor/ReminderEditors.h"
#include "ui/journal/JournalWindow.h"
#include "ui/main/AppController.h"
#include "ui/main/MainWindow.h"

#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <fstream>
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

    // The look's section of the kind Line.
    template <class Line> LanguageSection<Line> section() const { return m_look->section<Line>(); }
    // The shared texts of the look.
    Texts texts() const {
        Texts texts;
        texts.loadMain(section<MainLine>());
        return texts;
    }

    // Checks that nothing in the shown `window` is clipped (but the widgets named in
    // `cutOnPurpose`), then saves its picture as <name>-<look>.png.
    static void take(QWidget* window, const QString& name, const QStringList& cutOnPurpose = {}) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QStringList clipped = clippedWidgets(window);
        clipped.removeIf([&cutOnPurpose](const QString& line) {
            return cutOnPurpose.contains(line.section(QLatin1Char(' '), 0, 0));
        });
        EXPECT_THAT(clipped, ::testing::IsEmpty());
        const QString file = name + QLatin1Char('-') + lookName(GetParam());
        EXPECT_FALSE(saveScreenshot(window, file).isEmpty()) << file.toStdString();
    }

private:
    std::optional<ScopedLook> m_look;
};

TEST_P(Screenshots, AlertWindow) {
    QPointer<AlertWindow> alert =
        AlertWindow::showAlert(QStringLiteral("Call Anna about the concert tickets"), 7,
                               makeMoment(2026, 12, 9, 8, 0, 0), section<AlertLine>());
    ASSERT_FALSE(alert.isNull());
    take(alert, QStringLiteral("alert-window"));
    delete alert.data();
}

TEST_P(Screenshots, InfoDialog) {
    InfoDialog dialog(nullptr);
    dialog.setText(QString::fromStdString(texts().noDayMarked));
    dialog.show();
    take(&dialog, QStringLiteral("info-dialog"));
}

TEST_P(Screenshots, QuestionDialog) {
    QuestionDialog dialog(nullptr);
    const Texts shared = texts();
    dialog.setQuestion(QString::fromStdString(shared.deleteReminder), shared);
    dialog.show();
    take(&dialog, QStringLiteral("question-dialog"));
}

TEST_P(Screenshots, ReminderEditor) {
    // A reminder with every action on, so that every control shows its text; the
    // sound's long path is cut at the label's edge.
    FakeClock clock(makeMoment(2026, 12, 9, 8, 30));
    Reminders reminders(clock, makeSqliteReminderStore());
    FakeSoundPlayer player;
    ReminderEditors editors(reminders, player);
    editors.setLines(section<EditorLine>());
    Reminder r = newReminderDefaults(clock.now().local);
    r.message = "Call Anna about the concert tickets";
    r.click = true;
    r.playSound = true;
    r.soundPath = "/home/someone/Music/Reminder sounds/a rather long folder name/bell.wav";
    r.openFile = true;
    r.openPath = "/home/someone/Documents/tickets.pdf";
    r.flashTray = true;
    r.power = true;
    QPointer<ReminderEditor> editor = editors.openNew(&r);
    take(editor, QStringLiteral("reminder-editor"), {QStringLiteral("pathLabel")});
    delete editor.data();
}

TEST_P(Screenshots, JournalWindow) {
    JournalWindow journal(WindowPlacement{});
    journal.setAttribute(Qt::WA_DeleteOnClose, false);
    journal.setCaption(makeMoment(2026, 12, 7, 17, 5, 12), makeMoment(2026, 12, 8, 9, 0, 3), {});
    journal.fill({{3, makeMoment(2026, 12, 8, 8, 0), "Call Anna about the concert tickets"},
                  {7, makeMoment(2026, 12, 7, 18, 30),
                   "Take the bread out of the oven, then water the plants on the balcony and "
                   "feed the cat"},
                  {12, makeMoment(2026, 12, 8, 0, 0), "Pay the rent"}});
    journal.bringBack();
    take(&journal, QStringLiteral("journal-window"));
}

TEST_P(Screenshots, MainWindowPages) {
    const FakeClock clock(makeMoment(2026, 12, 9, 8, 0, 0));
    // The main window takes its language from the settings: the look's file as "Other".
    const std::string settings = locateDataPaths().settingsFilePath;
    std::ofstream(settings) << "[Settings]\nLangPack=2\nLangFile="
                            << languageFileOf(GetParam()).toStdString() << "\n";
    FakePlatform platform;
    AppController app(clock, platform.services());
    app.loadReminders();
    app.reminders().waitForFile();
    Reminder tea;
    tea.isNew = true;
    tea.message = "Call Anna about the concert tickets";
    tea.moment = makeMoment(2026, 12, 24, 18, 30);
    tea.showAlert = tea.flashTray = true;
    Reminder weekly = tea;
    weekly.message = "Water the plants";
    weekly.kind = ScheduleKind::Weekly;
    weekly.days = {true, false, true, false, true, false, false};
    // Added last, the first reminder of the list is the one selected.
    for (const Reminder& r : {weekly, tea})
        ASSERT_TRUE(app.reminders().add(r).ok());
    MainWindow* window = app.mainWindow();
    window->reloadReminders();
    window->showList();
    take(window, QStringLiteral("main-window-list"));
    window->findChild<QTabWidget*>(QStringLiteral("pages"))->setCurrentIndex(1);
    // The language file's path is cut at the page's edge, as a long one always is.
    take(window, QStringLiteral("main-window-settings"), {QStringLiteral("languageFileLabel")});
}

TEST_P(Screenshots, AboutBox) {
    QWidget owner;
    QPointer<AboutBox> about = AboutBox::showFor(&owner);
    take(about, QStringLiteral("about-box"));
    delete about.data();
}

INSTANTIATE_TEST_SUITE_P(Looks, Screenshots, ::testing::ValuesIn(screenshotLooks()),
                         [](const ::testing::TestParamInfo<Look>& info) {
                             return lookName(info.param).toStdString();
                         });

} // namespace
