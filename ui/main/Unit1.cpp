#include "ui/main/Unit1.h"

#include "core/AppPaths.h"
#include "desktop/ProgramSettings.h"
#include "engine/ReminderActions.h"
#include "i18n/Texts.h"
#include "platform/PowerControl.h"
#include "ui/alert/AlertWindow.h"
#include "ui/controls/ColorScheme.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/editor/ReminderEditor.h"
#include "ui/main/CommandImages.h"
#include "ui/main/ThingsGrid.h"
#include "ui/main/ThingsListModel.h"
#include "ui/main/TrayImages.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// Flat tabs in the scheme colour with black centred captions.
class SchemeTabBar final : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        return {230, QTabBar::tabSizeHint(index).height()};
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        for (int i = 0; i < count(); ++i) {
            const QRect r = tabRect(i);
            p.fillRect(r, ColorScheme::color());
            p.setPen(Qt::black);
            p.drawText(r, Qt::AlignCenter, tabText(i));
            if (i == currentIndex() && hasFocus()) {
                QStyleOptionFocusRect focus;
                focus.initFrom(this);
                focus.rect = r.adjusted(3, 3, -3, -3);
                style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
            }
        }
    }
};

class SchemeTabWidget final : public QTabWidget {
public:
    explicit SchemeTabWidget(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new SchemeTabBar(this));
    }
};

} // namespace

TForm1::TForm1(const Clock& clock, QWidget* parent) : QMainWindow(parent), clock_(clock) {
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::FormCreate() {
    setWindowTitle(QStringLiteral("Chimewell"));
    setAccessibleName(windowTitle());
    // Every window of the program that has no icon of its own shows the program's.
    QApplication::setWindowIcon(trayImages_.Plain());
    setWindowIcon(trayImages_.Plain());
    setFont(ColorScheme::font());
    resize(540, 422);
    setMinimumSize(520, 430);

    BuildCommands();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(5, 10, 5, 0);
    PageControl1 = new SchemeTabWidget(central);
    PageControl1->setAccessibleName(QStringLiteral("Pages"));
    auto* TabSheet1 = new QWidget;
    auto* TabSheet2 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("List"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Settings"));
    layout->addWidget(PageControl1);
    setCentralWidget(central);
    BuildListPage(TabSheet1);
    BuildSettingsPage(TabSheet2);
    PageControl1->setCurrentIndex(0);

    // Four empty panels, as the status bar has always had.
    for (int w : {100, 120, 100, 100}) {
        auto* panel = new QLabel(statusBar());
        panel->setFixedWidth(w);
        statusBar()->addWidget(panel);
    }
    statusBar()->setSizeGripEnabled(false);

    MissedEvents = 0;
    const DataPaths paths = locateDataPaths();
    if (!paths.error.empty())
        showErrorMessage(QString::fromStdString(paths.error));
    settingsPath = QString::fromStdString(paths.settingsFilePath);
    thingsPath = QString::fromStdString(paths.reminderFilePath);
    BuildTray();
    ReadSettings();
    const ClockReading started = clock_.now();
    ProgramStartTime = started.local;
    engine_ = new ReminderEngine(DataModule1, clock_, started, this);
    connect(engine_, &ReminderEngine::reminderDue, this, &TForm1::ShowCurrentNote);
    connect(engine_, &ReminderEngine::scanned, this, &TForm1::RefreshCalcFields);
    connect(engine_, &ReminderEngine::dayChanged, this, &TForm1::MinuteTickDayStep);
    stopAnimationCounter = 0;

    TimerStart.setSingleShot(true);
    TimerStart.setInterval(100);
    connect(&TimerStart, &QTimer::timeout, this, &TForm1::TimerStartTimer);
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, engine_, &ReminderEngine::tick);
    TimerStopAnimation.setInterval(1000);
    connect(&TimerStopAnimation, &QTimer::timeout, this, &TForm1::TimerStopAnimationTimer);
    animationTimer_.setInterval(400);
    connect(&animationTimer_, &QTimer::timeout, this, [this] {
        animationRed_ = !animationRed_;
        SetTrayIcon(trayImages_.Animation(animationRed_ ? 0 : 1));
    });
    TimerStart.start();
    if (!trayAvailable_)
        showMinimized();
}

void TForm1::BuildListPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* ToolBar1 = new QToolBar(page);
    ToolBar1->setAccessibleName(QStringLiteral("Commands"));
    ToolBar1->setIconSize({16, 16});
    ToolBar1->addAction(actNew);
    ToolBar1->addAction(actEditThing);
    ToolBar1->addAction(actCopyThing);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actDelThing);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actJournal);
    layout->addWidget(ToolBar1);

    listModel_ = new ThingsListModel(DataModule1, this);
    listModel_->setTexts(texts);
    listModel_->SetNow(clock_);
    Panel2 = new ThingsPanel(*listModel_, page);
    layout->addWidget(Panel2);
    ThingsGrid* grid = Panel2->Grid();
    auto* separator = new QAction(grid);
    separator->setSeparator(true);
    grid->addActions({actNewThing, actEditThing, actCopyThing, separator, actDelThing});
    connect(grid, &ThingsGrid::newThingRequested, actNewThing, &QAction::trigger);
    connect(grid, &ThingsGrid::editThingRequested, actEditThing, &QAction::trigger);
    connect(grid, &ThingsGrid::deleteThingRequested, actDelThing, &QAction::trigger);
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TForm1::actEditThingUpdate);
    // Columns other than the message, description and next time carry no title.
    static const char* titles[] = {"", "Message", "description", "Next time"};
    for (int c = ColComment; c <= ColDT; ++c)
        listModel_->setHeaderData(c, Qt::Horizontal, QString::fromLatin1(titles[c]));
}

void TForm1::BuildSettingsPage(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    auto* GroupBox5 = new QGroupBox(QStringLiteral("Language"), page);
    auto* lang = new QVBoxLayout(GroupBox5);
    RadioButton1 = new QRadioButton(QStringLiteral("English"), GroupBox5);
    RadioButton2 = new QRadioButton(QStringLiteral("Russian"), GroupBox5);
    RadioButton3 = new QRadioButton(QStringLiteral("Other"), GroupBox5);
    auto* SpeedButton1 = new QToolButton(GroupBox5);
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setToolTip(QStringLiteral("Select..."));
    SpeedButton1->setAccessibleName(QStringLiteral("Select..."));
    SpeedButton1->setAutoRaise(true);
    Label1 = new QLabel(GroupBox5);
    Label1->setAccessibleName(QStringLiteral("Language file"));
    lang->addWidget(RadioButton1);
    lang->addWidget(RadioButton2);
    auto* other = new QHBoxLayout;
    other->addWidget(RadioButton3);
    other->addWidget(SpeedButton1);
    other->addWidget(Label1, 1);
    lang->addLayout(other);
    layout->addWidget(GroupBox5);

    chbMissed = new QCheckBox(QStringLiteral("Show Missed after start"), page);
    chbShowDay = new QCheckBox(QStringLiteral("Show the day in the tray"), page);
    layout->addWidget(chbMissed);
    layout->addWidget(chbShowDay);
    connect(chbMissed, &QCheckBox::toggled, this, [this](bool on) { ShowMissedAtStart = on; });
    connect(chbShowDay, &QCheckBox::toggled, this, [this](bool on) {
        ShowDayInTray = on;
        RefreshTrayIcon();
    });

    auto* buttons = new QHBoxLayout;
    auto* btHelp = new QPushButton(QStringLiteral("Help..."), page);
    auto* btAbout = new QPushButton(QStringLiteral("About..."), page);
    for (QPushButton* b : {btHelp, btAbout}) {
        b->setAccessibleName(b->text());
        b->setEnabled(false); // help and the About box are not in this version yet
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             RadioButton1, RadioButton2, RadioButton3, chbMissed, chbShowDay})
        b->setAccessibleName(b->text());
}

void TForm1::BuildTray() {
    List1 = new QAction(QStringLiteral("Open list..."), this);
    actSoundOff = new QAction(QStringLiteral("Sound off"), this);
    actExit = new QAction(QStringLiteral("Exit"), this);
    connect(List1, &QAction::triggered, this, &TForm1::List1Click);
    connect(actSoundOff, &QAction::triggered, this, &TForm1::actSoundOffExecute);
    connect(actExit, &QAction::triggered, this, &TForm1::actExitExecute);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(List1);
    PopupMenu1->addAction(actNewThing);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(actSoundOff);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(actExit);

    TrayIcon1 = new QSystemTrayIcon(this);
    TrayIcon1->setToolTip(QStringLiteral("Chimewell"));
    TrayIcon1->setContextMenu(PopupMenu1);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
                    List1Click();
            });
    SetTrayIcon(trayImages_.Plain());
    TrayIcon1->show();

    trayAvailable_ = QSystemTrayIcon::isSystemTrayAvailable();
    // Without a tray the window must stay reachable: it starts minimized, closing it
    // minimizes it, and the tray menu's commands are offered in the window.
    fallbackMenu_ = new QMenuBar(this);
    auto* program = fallbackMenu_->addMenu(QStringLiteral("&Program"));
    program->addAction(actNewThing);
    program->addAction(actSoundOff);
    program->addSeparator();
    program->addAction(actExit);
    setMenuBar(fallbackMenu_);
    UseTrayFallback(!trayAvailable_);
    trayWatch_.setInterval(1000);
    connect(&trayWatch_, &QTimer::timeout, this, &TForm1::CheckTrayAppeared);
    if (!trayAvailable_)
        trayWatch_.start();
}

void TForm1::UseTrayFallback(bool on) {
    fallbackMenu_->setVisible(on);
}

void TForm1::CheckTrayAppeared() {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    trayWatch_.stop();
    trayAvailable_ = true;
    UseTrayFallback(false);
    // Embed the icon in the tray that has just appeared.
    TrayIcon1->hide();
    TrayIcon1->show();
}

void TForm1::SetTrayIcon(const QIcon& icon) {
    TrayIcon1->setIcon(icon);
}

void TForm1::ApplyPlacedOuterSize() {
    const QWindow* handle = windowHandle();
    if (!placedOuterSize_.isValid() || handle == nullptr ||
        handle->windowState() != Qt::WindowNoState)
        return;
    const QMargins frame = handle->frameMargins();
    if (frame.isNull())
        return;
    resize(placedOuterSize_.shrunkBy(frame));
    placedOuterSize_ = QSize();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window manager frames the window only once it is mapped, and a window shown
    // minimized or maximized gets its normal size only when restored: watch for both.
    if (QWindow* handle = windowHandle(); handle && placedOuterSize_.isValid()) {
        handle->installEventFilter(this);
        connect(handle, &QWindow::windowStateChanged, this, &TForm1::ApplyPlacedOuterSize,
                Qt::UniqueConnection);
    }
    ApplyPlacedOuterSize();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose)
        ApplyPlacedOuterSize();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing only hides the window; "Exit" in the tray menu ends the program.
    event->ignore();
    if (trayAvailable_)
        hide();
    else
        showMinimized();
}

void TForm1::TimerStartTimer() {
    TimerStart.stop();
    // A new file that could not be created does not stop the program; a file that
    // exists but could not be read does: no minute tick, and it is never written over.
    const Status loaded = DataModule1.load(thingsPath.toStdString());
    if (!loaded)
        showErrorMessage(QString::fromStdString(loaded.error));
    tableOpen_ = DataModule1.fileWritable();
    if (!tableOpen_) {
        // Nothing typed in this run could be saved: the commands that change
        // reminders stay off, and the status bar tells why.
        actEditThingUpdate();
        statusBar()->showMessage(QStringLiteral("Reminders cannot be changed. ") +
                                 QString::fromStdString(loaded.error));
        return;
    }
    TableChanged();
    Panel2->StartTimerResize();
    if (isVisible())
        Panel2->Grid()->setFocus();
    if (ShowMissedAtStart) {
        MissedEvents = missedJournal.build(DataModule1.table(), LastRunTime, ProgramStartTime,
                                           clock_.now().local);
        // The journal window comes in a later version; MissedEvents keeps the count.
    }
    Timer1.start();
}

bool TForm1::SaveCDS() {
    if (!tableOpen_)
        return false;
    const Status saved = DataModule1.save(thingsPath.toStdString());
    if (!saved)
        showErrorMessage(QString::fromStdString(saved.error));
    return saved.ok;
}

void TForm1::CloseOtherWindows() {
    // Editors (their unsaved input is discarded), then alert windows: top-level
    // windows of their own, destroyed directly without their close handlers. The
    // victims are picked before any is destroyed: an editor takes its own pop-ups
    // and dialogs, which are top-level widgets too, with it.
    auto destroyAll = [](auto isKind) {
        QList<QPointer<QWidget>> victims;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (isKind(w))
                victims << w;
        for (const QPointer<QWidget>& w : victims)
            delete w.data();
    };
    destroyAll([](QWidget* w) { return qobject_cast<ReminderEditor*>(w) != nullptr; });
    destroyAll([](QWidget* w) { return qobject_cast<AlertWindow*>(w) != nullptr; });
}

void TForm1::actExitExecute() {
    // Only ends the event loops, nested ones of open dialogs included; the windows are
    // destroyed once every loop has returned (FormDestroy), so no window goes away
    // under code of its own that is still running. exit(), not quit(): quit() first
    // asks every window to close, and this one refuses (it only hides).
    QCoreApplication::exit(0);
}

void TForm1::SaveEverything() {
    SaveCDS();
    WriteSettings();
}

void TForm1::FormDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    CloseOtherWindows();
    SaveCDS();
    if (engine_)
        engine_->clearDueQueue();
    WriteSettings();
}

void TForm1::RefreshCalcFields(Moment) {
    listModel_->SetNow(clock_);
    listModel_->RefreshCalcFields();
}

void TForm1::MinuteTickDayStep(int day) {
    if (trayState_ != TrayState::Day)
        return;
    if (day != XDayPrev) {
        XDayPrev = static_cast<std::uint16_t>(day);
        SetTrayIcon(trayImages_.Day(day));
    }
}

void TForm1::ShowCurrentNote(const Reminder& e) {
    if (e.number == 0)
        return;
    if (e.power) {
        // A power action replaces every other presentation.
        if (e.afterStart && e.minutesAfterStart == 0)
            return;
        if (e.powerAction == PowerAction::PowerOff)
            programPowerControl().requestPowerOff();
        else
            programPowerControl().requestReboot();
        return;
    }
    if (e.flashTray)
        StartTrayAnimation();
    if (e.openFile && !e.openPath.empty())
        ReminderActions::openFileAsync(this, QString::fromStdString(e.openPath));
    // The reminder's own sound, or the click when that is not a file that exists.
    const QString sound = e.playSound ? QString::fromStdString(e.soundPath) : QString();
    const QString click = e.click ? QString::fromStdString(clickSoundPath()) : QString();
    if (!sound.isEmpty() || !click.isEmpty())
        ReminderActions::playSoundAsync(this, sound, click);
    if (e.showAlert)
        ShowAlertWindow(QString::fromStdString(e.message), e.number);
}

void TForm1::ShowAlertWindow(const QString& text, std::int32_t number) {
    if (AlertWindow* alert = AlertWindow::showAlert(text, number, clock_.now().local))
        connect(alert, &AlertWindow::editRequested, this, &TForm1::AlertEditClick,
                Qt::UniqueConnection);
}

void TForm1::StartTrayAnimation() {
    trayState_ = TrayState::Flashing;
    animationRed_ = true;
    SetTrayIcon(trayImages_.Animation(0));
    animationTimer_.start();
    stopAnimationCounter = 0;
    if (!TimerStopAnimation.isActive())
        TimerStopAnimation.start();
}

void TForm1::TimerStopAnimationTimer() {
    if (++stopAnimationCounter <= 10)
        return;
    TimerStopAnimation.stop();
    stopAnimationCounter = 0;
    animationTimer_.stop();
    RefreshTrayIcon();
}

void TForm1::RefreshTrayIcon() {
    if (ShowDayInTray) {
        trayState_ = TrayState::Day;
        const int day = calendarTime(clock_.now().local).day;
        XDayPrev = static_cast<std::uint16_t>(day);
        SetTrayIcon(trayImages_.Day(day));
    } else {
        trayState_ = TrayState::Plain;
        SetTrayIcon(trayImages_.Plain());
    }
}

void TForm1::List1Click() {
    // A window both minimized and hidden is shown at the first activation.
    if (isMinimized())
        showNormal();
    else
        show();
    if (PageControl1->currentIndex() == 0 && tableOpen_ && isVisible())
        Panel2->Grid()->setFocus();
    raise();
    activateWindow();
}

void TForm1::actSoundOffExecute() {
    ReminderActions::stopSound(this);
}

void TForm1::ReadSettings() {
    // A size of 0 stands for none stored: the window keeps its designed size.
    const ProgramSettings settings = ::ReadSettings(settingsPath, clock_.now().local, 0, 0);
    const WindowPlacement& pos = settings.position;
    move(pos.left, pos.top);
    if (pos.width > 0 && pos.height > 0) {
        // The stored size is the outer one; the client size follows once the frame is known.
        placedOuterSize_ = QSize(pos.width, pos.height);
        resize(placedOuterSize_); // the minimum size still bounds it
        ApplyPlacedOuterSize();
    }
    switch (pos.state) {
    case WindowStateCode::Maximized:
        setWindowState(Qt::WindowMaximized);
        break;
    case WindowStateCode::Minimized:
        setWindowState(Qt::WindowMinimized);
        break;
    case WindowStateCode::Normal:
        setWindowState(Qt::WindowNoState);
        break;
    }
    LastRunTime = settings.LastRunTime;
    RadioButton1->setChecked(settings.language == LanguageChoice::English);
    RadioButton2->setChecked(settings.language == LanguageChoice::Russian);
    RadioButton3->setChecked(settings.language == LanguageChoice::Other);
    chbMissed->setChecked(settings.ShowMissedAtStart);
    ShowMissedAtStart = chbMissed->isChecked();
    chbShowDay->setChecked(settings.ShowDayInTray);
    ShowDayInTray = chbShowDay->isChecked();
    RefreshTrayIcon();
    Label1->setText(settings.languageFile);
}

void TForm1::WriteSettings() {
    ProgramSettings settings;
    WindowPlacement& pos = settings.position;
    pos.state = isMaximized()   ? WindowStateCode::Maximized
                : isMinimized() ? WindowStateCode::Minimized
                                : WindowStateCode::Normal;
    const QRect frame = frameGeometry();
    pos.left = frame.left();
    pos.top = frame.top();
    // Never framed in this run: the outer size read at start is still the one wanted.
    const QSize outer = placedOuterSize_.isValid() ? placedOuterSize_ : frame.size();
    pos.width = outer.width();
    pos.height = outer.height();
    settings.language = RadioButton1->isChecked()   ? LanguageChoice::English
                        : RadioButton2->isChecked() ? LanguageChoice::Russian
                                                    : LanguageChoice::Other;
    settings.languageFile = Label1->text();
    settings.ShowMissedAtStart = ShowMissedAtStart;
    settings.ShowDayInTray = ShowDayInTray;
    if (const SettingsWriteResult r = ::WriteSettings(settingsPath, settings, clock_.now().local);
        !r)
        showErrorMessage(r.errorText);
}

void TForm1::BuildCommands() {
    auto make = [this](const char* text, CommandImage image, QKeySequence key) {
        auto* a = new QAction(CommandIcon(image), QString::fromLatin1(text), this);
        a->setToolTip(a->text());
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        return a;
    };
    actNew = make("New...", CommandImage::BlankDocument, Qt::Key_F2);
    actNewThing = make("New...", CommandImage::BlankDocument, {});
    actEditThing = make("Edit...", CommandImage::LinedDocument, Qt::Key_F4);
    actCopyThing = make("Copy...", CommandImage::TwoDocuments, Qt::Key_F9);
    actDelThing = make("Delete", CommandImage::Cross, Qt::Key_F8);
    actJournal = make("", CommandImage::List, {});
    actJournal->setToolTip(QStringLiteral("Events that skipped"));
    actJournal->setEnabled(false); // the journal window is not in this version yet
    connect(actNew, &QAction::triggered, this, &TForm1::actNewExecute);
    connect(actNewThing, &QAction::triggered, this, &TForm1::actNewThingExecute);
    connect(actEditThing, &QAction::triggered, this, &TForm1::actEditThingExecute);
    connect(actCopyThing, &QAction::triggered, this, &TForm1::actCopyThingExecute);
    connect(actDelThing, &QAction::triggered, this, &TForm1::actDelThingExecute);

    editorContext_ = std::make_unique<EditorContext>(DataModule1);
    editorContext_->clock = &clock_;
    editorContext_->texts = texts;
    editorContext_->saveTable = [this] { return SaveCDS(); };
    editorContext_->tableChanged = [this] { TableChanged(); };
    editorContext_->newIcon = CommandIcon(CommandImage::BlankDocument);
    editorContext_->editIcon = CommandIcon(CommandImage::LinedDocument);
}

void TForm1::TableChanged() {
    // The next times as of now: no scan may have run for days (an empty table).
    listModel_->SetNow(clock_);
    listModel_->tableChanged();
    actEditThingUpdate();
}

bool TForm1::ListIsUsable() const {
    return isVisible() && !isMinimized() && PageControl1->currentIndex() == 0;
}

bool TForm1::CurrentRowHasNumber() const {
    return fieldHasValue(DataModule1.listCursor(), "N");
}

void TForm1::actEditThingUpdate() {
    const bool writable = DataModule1.fileWritable();
    const bool has = writable && CurrentRowHasNumber();
    for (QAction* a : {actEditThing, actCopyThing, actDelThing})
        a->setEnabled(has);
    for (QAction* a : {actNew, actNewThing})
        a->setEnabled(writable);
}

void TForm1::actNewExecute() {
    if (ListIsUsable())
        actNewThingExecute();
}

void TForm1::actNewThingExecute() {
    openNewEditor(*editorContext_);
}

void TForm1::actCopyThingExecute() {
    if (!ListIsUsable() || !CurrentRowHasNumber())
        return;
    if (auto thing = currentReminder(DataModule1.listCursor()))
        openNewEditor(*editorContext_, &*thing);
}

void TForm1::actEditThingExecute() {
    if (!ListIsUsable() || !CurrentRowHasNumber())
        return;
    const ReminderCursor& list = DataModule1.listCursor();
    openEditorFor(list.current()->integer(Col::N), *editorContext_);
}

void TForm1::actDelThingExecute() {
    if (!ListIsUsable() || !CurrentRowHasNumber())
        return;
    if (!askYesNo(QString::fromStdString(texts.deleteReminder), texts, this))
        return;
    if (DataModule1.deleteReminder(DataModule1.listCursor().current()->integer(Col::N)))
        SaveCDS();
    TableChanged();
}

void TForm1::AlertEditClick(std::int32_t N) {
    ReminderCursor& byNumber = DataModule1.numberCursor();
    if (!byNumber.locateNumber(N))
        return; // deleted meanwhile: the alert stays
    openEditorFor(N, *editorContext_);
    if (AlertWindow* alert = AlertWindow::find(N))
        alert->close();
}
