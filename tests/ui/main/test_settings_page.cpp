// The settings page as the user works it: the language choice with the real language
// files switching the open main window and the windows opened later, the language file
// kept in the settings file, the help and the hidden start-up shortcut buttons.
#include "app/Reminders.h"
#include "core/AppPaths.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/OpenRecorder.h"
#include "tests/support/ReadAll.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/TempHome.h"
#include "ui/alert/AlertWindow.h"
#include "ui/controls/AboutBox.h"
#include "ui/dialogs/DialogSeams.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/dialogs/InfoDialog.h"
#include "ui/editor/ReminderEditor.h"
#include "ui/journal/MissedEntry.h"
#include "ui/main/AlertPresenter.h"
#include "ui/main/AppController.h"
#include "ui/main/MainWindow.h"
#include "ui/main/ReminderListModel.h"
#include "ui/main/ReminderListView.h"
#include "ui/main/SettingsPage.h"
#include "ui/main/TrayController.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

// Receives the files the program asks the desktop to open.
void Click(QAbstractButton* b) {
    ASSERT_NE(b, nullptr);
    const bool boxed = qobject_cast<QRadioButton*>(b) != nullptr;
    QTest::mouseClick(b, Qt::LeftButton, {},
                      boxed ? QPoint(8, b->height() / 2) : b->rect().center());
}

void PressSpace(QAbstractButton* b) {
    ASSERT_NE(b, nullptr);
    b->setFocus();
    QTest::keyClick(b, Qt::Key_Space);
}

struct SettingsPageTest : ::testing::Test {
    Moment now = makeMoment(2026, 12, 9, 10, 0, 0);
    FakeClock clock{now};
    FakePlatform platform;
    FakeStartupShortcut& shortcut = platform.shortcut;
    std::string programFolder = MakeTempFolder("program");
    std::string dataFolder = std::string(std::getenv("XDG_DATA_HOME")) + "/Chimewell";
    // "Other": the English file with every text in angle quotes, in a folder whose path is
    // longer than 255 characters.
    std::string otherFile;
    QStringList infos;

    void SetUp() override {
        fs::remove_all(dataFolder);
        for (const char* name : {"Chimly_en.lng", "Chimly_ru.lng"})
            fs::copy_file(std::string(CHIMEWELL_RESOURCES_DIR "/") + name,
                          programFolder + "/" + name);
        setExecutablePathForTests(programFolder + "/Chimly");
        setShowInfoRecorder([this](const QString& text) { infos << text; });
        setErrorMessageRecorderForTests([](const QString& m) { ADD_FAILURE() << m.toStdString(); });

        const std::string folder =
            MakeTempFolder(std::string(120, 'o')) + "/" + std::string(100, 'p') + "/языки";
        fs::create_directories(folder);
        otherFile = folder + "/quoted.lng";
        std::ifstream english(programFolder + "/Chimly_en.lng", std::ios::binary);
        std::ofstream other(otherFile, std::ios::binary);
        for (std::string line; std::getline(english, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const bool text = !line.empty() && line[0] != '[' && line.rfind("\xEF\xBB\xBF", 0) != 0;
            other << (text ? "‹" + line + "›" : line) << "\r\n";
        }
        ASSERT_GT(otherFile.size(), 255u);
    }
    void TearDown() override {
        setShowInfoRecorder(nullptr);
        setErrorMessageRecorderForTests(nullptr);
        setFileChooser(nullptr);
        setExecutablePathForTests("");
        InfoDialog::useTexts({});
    }

    std::unique_ptr<AppController> Started() {
        auto app = std::make_unique<AppController>(clock, platform.services());
        app->loadReminders();
        app->reminders().waitForFile();
        return app;
    }
    static void ExitThroughTheLoop(std::unique_ptr<AppController>& app) {
        QTimer::singleShot(0, app.get(), [&app] { app->exit(); });
        EXPECT_EQ(QApplication::exec(), 0);
        app.reset();
    }
    template <class T> static T* Part(AppController& app, const char* name) {
        auto* w = app.mainWindow()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static QString TabText(AppController& app, int index) {
        return Part<QTabWidget>(app, "pages")->tabText(index);
    }
    static QString Description(AppController& app) {
        const ReminderListModel* model = app.mainWindow()->listView()->reminderModel();
        return model->data(model->index(0, DescriptionColumn)).toString();
    }
    static QString ColumnTitle(AppController& app, int column) {
        return app.mainWindow()
            ->listView()
            ->reminderModel()
            ->headerData(column, Qt::Horizontal)
            .toString();
    }
    // Opens an editor for a new reminder as the tray's "New..." does; returns its title
    // and "Ok" caption.
    static std::pair<QString, QString> NewEditorTexts(AppController& app) {
        const std::vector<ReminderEditor*> before = WindowList<ReminderEditor>::all();
        app.tray()->findChild<QAction*>("trayNewReminderAction")->trigger();
        for (ReminderEditor* editor : WindowList<ReminderEditor>::all())
            if (std::ranges::find(before, editor) == before.end())
                return {editor->windowTitle(), editor->findChild<QPushButton*>("okButton")->text()};
        ADD_FAILURE() << "no editor opened";
        return {};
    }
    static QString AlertOkText(AppController& app, std::int32_t number) {
        app.alertPresenter()->showAlertWindow(QStringLiteral("tea"), number);
        AlertWindow* alert = WindowList<AlertWindow>::find(number);
        return alert ? alert->findChild<QPushButton*>("okButton")->text() : QString();
    }
};

} // namespace

TEST_F(SettingsPageTest, SwitchingLanguagesChangesTheOpenMainWindowAndWindowsOpenedLater) {
    auto app = Started();
    Reminder weekly;
    weekly.isNew = true;
    weekly.message = "Water the plants";
    weekly.kind = ScheduleKind::Weekly;
    weekly.days = {true, false, true, false, false, false, false};
    weekly.moment = makeMoment(2026, 12, 9, 8, 0);
    weekly.showAlert = true;
    ASSERT_TRUE(app->reminders().add(weekly).ok());
    MainWindow* window = app->mainWindow();
    window->reloadReminders();
    window->showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    Part<QTabWidget>(*app, "pages")->setCurrentIndex(1);

    // English from its file at the start.
    EXPECT_EQ(TabText(*app, 0), "List");
    EXPECT_EQ(ColumnTitle(*app, DescriptionColumn), "Description");
    EXPECT_EQ(Description(*app), "Days of week : Mon, Wed : 08:00");
    const auto englishEditor = NewEditorTexts(*app);
    EXPECT_EQ(englishEditor, std::make_pair(QString("New"), QString("Ok")));

    Click(Part<QRadioButton>(*app, "russianRadio"));
    EXPECT_EQ(TabText(*app, 0), "Список");
    EXPECT_EQ(TabText(*app, 1), "Настройки");
    EXPECT_EQ(Part<QAction>(*app, "actionNew")->text(), "Создать...");
    EXPECT_EQ(Part<QAction>(*app, "actionNewReminder")->toolTip(), "Создать...");
    EXPECT_EQ(app->tray()->findChild<QAction*>("trayOpenListAction")->text(), "Открыть список...");
    EXPECT_EQ(app->tray()->findChild<QAction*>("trayNewReminderAction")->text(), "Создать...");
    EXPECT_EQ(ColumnTitle(*app, MessageColumn), "Напоминание");
    EXPECT_EQ(Part<QRadioButton>(*app, "englishRadio")->accessibleName(), "Английский");
    EXPECT_EQ(Part<QPushButton>(*app, "helpButton")->text(), "Справка...");
    // The schedule texts change at once.
    EXPECT_EQ(Description(*app), "По дням недели : Пн, Ср : 08:00");
    const auto russianEditor = NewEditorTexts(*app);
    EXPECT_EQ(russianEditor, std::make_pair(QString("Новое напоминание"), QString("ОК")));
    EXPECT_EQ(AlertOkText(*app, 1), "ОК");

    // A file chosen while "Russian" is checked is only remembered.
    QString startedIn;
    setFileChooser([&](QWidget*, const QString& folder, const QString& filter) {
        startedIn = folder;
        EXPECT_TRUE(filter.startsWith("Language Files (*.lng)")) << filter.toStdString();
        return QString::fromStdString(otherFile);
    });
    Click(Part<QToolButton>(*app, "languageFileButton"));
    EXPECT_EQ(startedIn.toStdString(), programFolder + "/");
    EXPECT_EQ(Part<QLabel>(*app, "languageFileLabel")->text().toStdString(), otherFile);
    EXPECT_EQ(TabText(*app, 0), "Список");
    EXPECT_EQ(app->settings().values().languageFile.toStdString(), otherFile);

    PressSpace(Part<QRadioButton>(*app, "otherRadio"));
    EXPECT_EQ(app->settings().values().language, LanguageChoice::Other);
    EXPECT_EQ(TabText(*app, 0), "‹List›");
    EXPECT_EQ(Description(*app), "‹Days of week› : ‹Mon›, ‹Wed› : 08:00");
    EXPECT_EQ(NewEditorTexts(*app), std::make_pair(QString("‹New›"), QString("‹Ok›")));
    EXPECT_EQ(AlertOkText(*app, 2), "‹Ok›");
    EXPECT_EQ(InfoDialog(nullptr).windowTitle(), "‹Chimewell›");

    Click(Part<QRadioButton>(*app, "englishRadio"));
    EXPECT_EQ(TabText(*app, 0), "List");
    EXPECT_EQ(Part<QAction>(*app, "actionDelete")->text(), "Delete");
    EXPECT_EQ(Description(*app), "Days of week : Mon, Wed : 08:00");
    EXPECT_EQ(NewEditorTexts(*app), englishEditor);
    EXPECT_EQ(InfoDialog(nullptr).windowTitle(), "Chimewell");

    // Windows opened before a switch keep their texts.
    EXPECT_EQ(WindowList<AlertWindow>::find(1)->findChild<QPushButton*>("okButton")->text(), "ОК");
    QStringList titles;
    for (ReminderEditor* editor : WindowList<ReminderEditor>::all())
        titles << editor->windowTitle();
    EXPECT_THAT(titles,
                ::testing::UnorderedElementsAre("New", "Новое напоминание", "‹New›", "New"));
    app->closeOtherWindows();
    EXPECT_TRUE(infos.isEmpty());
}

// Qt's own texts (a text box's context menu, the file dialog) follow the Russian language;
// the texts the program fixes in English (the About box, the journal's buttons) do not.
TEST_F(SettingsPageTest, QtsOwnTextsAreRussianWhileRussianIsChosen) {
    const auto undoCaption = [] {
        QLineEdit edit;
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        // "&Undo\tCtrl+Z": the caption without its key.
        QAction* first = menu->actions().value(0);
        return first ? first->text().section(QLatin1Char('\t'), 0, 0) : QString();
    };
    const QString englishUndo = undoCaption();
    ASSERT_EQ(englishUndo, "&Undo");
    const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");

    auto app = Started();
    app->mainWindow()->showNormal();
    Part<QTabWidget>(*app, "pages")->setCurrentIndex(1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    Click(Part<QRadioButton>(*app, "russianRadio"));
    ASSERT_EQ(TabText(*app, 0), "Список");
    EXPECT_NE(undoCaption(), englishUndo);
    EXPECT_TRUE(undoCaption().contains(QRegularExpression("[А-Яа-я]")))
        << undoCaption().toStdString();
    EXPECT_TRUE(QCoreApplication::translate("QFileDialog", "Look in:")
                    .contains(QRegularExpression("[А-Яа-я]")));

    Click(Part<QPushButton>(*app, "aboutButton"));
    auto* about = app->mainWindow()->findChild<AboutBox*>();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "About");
    EXPECT_EQ(about->findChild<QPushButton*>("okButton")->text(), "OK");
    for (const QLabel* label : about->findChildren<QLabel*>())
        EXPECT_FALSE(label->text().contains(QRegularExpression("[А-Яа-я]")))
            << label->text().toStdString();
    delete about;
    MissedEntry entry(MissedOccurrence{});
    EXPECT_EQ(entry.findChild<QPushButton*>("okButton")->text(), "Ok");
    EXPECT_EQ(entry.findChild<QPushButton*>("editButton")->text(), "Edit...");

    Click(Part<QRadioButton>(*app, "englishRadio"));
    EXPECT_EQ(undoCaption(), englishUndo);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), lookIn);

    // Chosen at the start, from the settings file.
    ExitThroughTheLoop(app);
    std::ofstream(dataFolder + "/Chimly.ini") << "[Settings]\nLangPack=1\n";
    app = Started();
    EXPECT_NE(undoCaption(), englishUndo);
    app.reset();
    EXPECT_EQ(undoCaption(), englishUndo) << "the translation goes with the program";
}

TEST_F(SettingsPageTest, ALongOtherPathRoundTripsThroughTheSettingsFile) {
    auto app = Started();
    setFileChooser([&](QWidget*, const QString&, const QString&) {
        return QString::fromStdString(otherFile);
    });
    Click(Part<QRadioButton>(*app, "otherRadio"));
    Click(Part<QToolButton>(*app, "languageFileButton"));
    EXPECT_EQ(TabText(*app, 0), "‹List›");
    ExitThroughTheLoop(app);
    const std::string ini = ReadAll(dataFolder + "/Chimly.ini");
    EXPECT_THAT(ini, ::testing::HasSubstr("LangPack=2"));
    EXPECT_THAT(ini, ::testing::HasSubstr("LangFile=" + otherFile + "\n"));

    app = Started();
    EXPECT_TRUE(Part<QRadioButton>(*app, "otherRadio")->isChecked());
    EXPECT_EQ(Part<QLabel>(*app, "languageFileLabel")->text().toStdString(), otherFile);
    EXPECT_EQ(TabText(*app, 0), "‹List›");
    EXPECT_EQ(NewEditorTexts(*app).first, "‹New›");
    app->closeOtherWindows();
}

TEST_F(SettingsPageTest, TabReachesTheLanguageFileButtonAndSpaceChoosesWithIt) {
    auto app = Started();
    setFileChooser([&](QWidget*, const QString&, const QString&) {
        return QString::fromStdString(otherFile);
    });
    MainWindow* window = app->mainWindow();
    window->show();
    Part<QTabWidget>(*app, "pages")->setCurrentWidget(window->settingsPage());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    PressSpace(Part<QRadioButton>(*app, "otherRadio"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto* choose = Part<QToolButton>(*app, "languageFileButton");
    ASSERT_EQ(QApplication::focusWidget(), choose);
    QTest::keyClick(choose, Qt::Key_Space);
    EXPECT_EQ(Part<QLabel>(*app, "languageFileLabel")->text().toStdString(), otherFile);
    EXPECT_EQ(TabText(*app, 0), "‹List›");
    app->closeOtherWindows();
}

TEST_F(SettingsPageTest, AMissingOrUnreadableLanguageFileIsRefusedWhenChosen) {
    auto app = Started();
    Click(Part<QRadioButton>(*app, "otherRadio"));
    const std::string unreadable = MakeTempFolder("locked") + "/locked.lng";
    std::ofstream(unreadable) << "[Main]\n";
    fs::permissions(unreadable, fs::perms::none);
    const bool root = std::ifstream(unreadable).good(); // root reads it anyway
    QStringList candidates = {QString::fromStdString(programFolder + "/missing.lng"),
                              QString::fromStdString(programFolder)};
    if (!root)
        candidates << QString::fromStdString(unreadable);
    for (const QString& path : candidates) {
        infos.clear();
        setFileChooser([&](QWidget*, const QString&, const QString&) { return path; });
        Click(Part<QToolButton>(*app, "languageFileButton"));
        ASSERT_EQ(infos.size(), 1) << path.toStdString();
        EXPECT_TRUE(infos[0].contains(path)) << infos[0].toStdString();
        EXPECT_EQ(Part<QLabel>(*app, "languageFileLabel")->text(), "");
        EXPECT_EQ(app->settings().values().languageFile, "");
    }
    // A cancelled dialog changes nothing and says nothing.
    infos.clear();
    setFileChooser([](QWidget*, const QString&, const QString&) { return QString(); });
    Click(Part<QToolButton>(*app, "languageFileButton"));
    EXPECT_TRUE(infos.isEmpty());
}

TEST_F(SettingsPageTest, HelpOpensTheGuideBesideTheProgramOrSaysItIsMissing) {
    OpenRecorder opener;
    auto app = Started();
    auto* help = Part<QPushButton>(*app, "helpButton");
    EXPECT_TRUE(help->isEnabled());
    Click(help);
    EXPECT_EQ(infos, QStringList{"Help.htm not found."});
    EXPECT_TRUE(opener.opened.isEmpty());

    std::ofstream(programFolder + "/Help.htm") << "<!DOCTYPE html>";
    PressSpace(help);
    EXPECT_EQ(opener.openedFiles(),
              QStringList{QString::fromStdString(programFolder + "/Help.htm")});
    EXPECT_EQ(infos.size(), 1);
}

TEST_F(SettingsPageTest, TheHiddenShortcutButtonsFollowTheShortcut) {
    shortcut.present = true;
    auto app = Started();
    app->mainWindow()->showNormal();
    Part<QTabWidget>(*app, "pages")->setCurrentIndex(1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    auto* place = Part<QPushButton>(*app, "placeShortcutButton");
    auto* remove = Part<QPushButton>(*app, "removeShortcutButton");
    EXPECT_FALSE(place->isVisible());
    EXPECT_FALSE(remove->isVisible());
    EXPECT_FALSE(place->isEnabled());
    EXPECT_TRUE(remove->isEnabled());

    Click(remove);
    EXPECT_EQ(shortcut.calls, std::vector<std::string>{"remove"});
    EXPECT_TRUE(place->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    PressSpace(place);
    EXPECT_EQ(shortcut.calls, (std::vector<std::string>{"remove", "place"}));
    EXPECT_FALSE(place->isEnabled());
    EXPECT_TRUE(remove->isEnabled());

    // A shortcut that cannot be placed leaves the buttons as they were and says why in the
    // log (the error recorder fails the test on a window).
    Click(remove);
    shortcut.placing = Status::failure("Unable to write /autostart/Chimly.desktop");
    shortcut.placing.reason = "Read-only file system";
    {
        StderrCapture log(MakeTempFolder("log") + "/stderr.txt");
        Click(place);
        EXPECT_THAT(log.text(), ::testing::HasSubstr("Unable to write /autostart/Chimly.desktop: "
                                                     "Read-only file system"));
    }
    EXPECT_TRUE(place->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
}
