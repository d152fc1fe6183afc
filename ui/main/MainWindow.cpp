#include "ui/main/MainWindow.h"

#include "app/Reminders.h"
#include "ui/controls/ColorScheme.h"
#include "ui/controls/SectionText.h"
#include "ui/controls/WindowPlacer.h"
#include "ui/dialogs/QuestionDialog.h"
#include "ui/editor/ReminderEditors.h"
#include "ui/main/CommandImages.h"
#include "ui/main/ReminderListModel.h"
#include "ui/main/ReminderListPanel.h"
#include "ui/main/ReminderListView.h"
#include "ui/main/SettingsPage.h"
#include "ui_MainWindow.h"

#include <QCloseEvent>
#include <QLabel>

namespace {

// A command's hint names its key, so that a user who points at the button learns the
// keyboard's way to it (the toolbar's buttons take no focus).
QString hintWithKey(const QString& hint, const QKeySequence& key) {
    if (key.isEmpty())
        return hint;
    return hint + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

} // namespace

MainWindow::MainWindow(const ReminderEditors& editors, MessageOrder& order, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::MainWindow>()), m_editors(editors),
      m_listModel(new ReminderListModel(editors.reminders().repository(), order, this)),
      m_placer(new WindowPlacer(this)) {
    m_ui->setupUi(this);
    setFont(ColorScheme::font());
    resize(DesignedSize);
    ColorScheme::applyColorScheme(this);

    const std::pair<QAction*, CommandImage> icons[] = {
        {m_ui->actionNew, CommandImage::BlankDocument},
        {m_ui->actionNewReminder, CommandImage::BlankDocument},
        {m_ui->actionEdit, CommandImage::LinedDocument},
        {m_ui->actionCopy, CommandImage::TwoDocuments},
        {m_ui->actionDelete, CommandImage::Cross},
        {m_ui->actionJournal, CommandImage::List}};
    for (const auto& [action, image] : icons) {
        action->setIcon(commandIcon(image));
        action->setToolTip(hintWithKey(action->toolTip(), action->shortcut()));
        addAction(action); // the keys work on either page; the list guard decides
    }
    connect(m_ui->actionNew, &QAction::triggered, this, &MainWindow::newFromList);
    connect(m_ui->actionNewReminder, &QAction::triggered, this, &MainWindow::newReminder);
    connect(m_ui->actionEdit, &QAction::triggered, this, &MainWindow::editReminder);
    connect(m_ui->actionCopy, &QAction::triggered, this, &MainWindow::copyReminder);
    connect(m_ui->actionDelete, &QAction::triggered, this, &MainWindow::deleteReminder);
    connect(m_ui->actionJournal, &QAction::triggered, this, &MainWindow::journalRequested);

    m_listModel->setTexts(editors.texts());
    m_listModel->setNow(editors.reminders().clock());
    ReminderListView* list = listView();
    list->setReminderModel(m_listModel);
    list->setClock(&editors.reminders().clock());
    auto* separator = new QAction(list);
    separator->setSeparator(true);
    list->addActions({m_ui->actionNewReminder, m_ui->actionEdit, m_ui->actionCopy, separator,
                      m_ui->actionDelete});
    connect(list, &ReminderListView::newReminderRequested, m_ui->actionNewReminder,
            &QAction::trigger);
    connect(list, &ReminderListView::editRequested, m_ui->actionEdit, &QAction::trigger);
    connect(list, &ReminderListView::deleteRequested, m_ui->actionDelete, &QAction::trigger);
    connect(list, &ReminderListView::currentReminderChanged, this, &MainWindow::updateActions);
    connect(&editors.reminders(), &Reminders::changed, this, &MainWindow::reloadReminders);

    // Four empty panels, as the status bar has always had.
    for (int width : {100, 120, 100, 100}) {
        auto* panel = new QLabel(statusBar());
        panel->setFixedWidth(width);
        statusBar()->addWidget(panel);
    }
    updateActions();
}

MainWindow::~MainWindow() {
    // Whoever keeps the settings stores it; the window itself never writes a file.
    emit placed(placement());
}

SettingsPage* MainWindow::settingsPage() const {
    return m_ui->settingsPage;
}

ReminderListView* MainWindow::listView() const {
    return m_ui->listPanel->listView();
}

void MainWindow::showList() {
    // A window both minimized and hidden is shown at the first activation.
    if (isMinimized())
        showNormal();
    else
        show();
    if (m_ui->pages->currentWidget() == m_ui->listPage && m_editors.reminders().isLoaded() &&
        m_editors.reminders().fileWritable() && isVisible())
        listView()->setFocus();
    raise();
    activateWindow();
}

void MainWindow::reloadReminders() {
    // The next times as of now: no scan may have run for days (an empty table).
    m_listModel->setNow(m_editors.reminders().clock());
    m_listModel->reload();
    updateActions();
}

void MainWindow::remindersLoaded() {
    reloadReminders();
    m_ui->listPanel->startFirstFit();
    if (isVisible())
        listView()->setFocus();
}

void MainWindow::refreshComputedColumns() {
    // The view reads the clock when it draws the rows on screen; a hidden list draws none.
    m_listModel->refreshComputedColumns();
}

void MainWindow::loadTexts(const LanguageSection<MainLine>& section) {
    const auto tab = [&](MainLine line, QWidget* page) {
        withLine(section, line,
                 [&](const QString& t) { m_ui->pages->setTabText(m_ui->pages->indexOf(page), t); });
    };
    tab(MainLine::ListTab, m_ui->listPage);
    tab(MainLine::SettingsTab, m_ui->settingsPage);
    const auto command = [&](MainLine line, std::initializer_list<QAction*> actions) {
        withLine(section, line, [&](const QString& t) {
            for (QAction* a : actions) {
                a->setText(t);
                a->setToolTip(hintWithKey(t, a->shortcut()));
            }
        });
    };
    command(MainLine::NewReminder, {m_ui->actionNew, m_ui->actionNewReminder});
    command(MainLine::EditReminder, {m_ui->actionEdit});
    command(MainLine::CopyReminder, {m_ui->actionCopy});
    command(MainLine::DeleteReminder, {m_ui->actionDelete});
    command(MainLine::Journal, {m_ui->actionJournal});
    const auto title = [&](MainLine line, int column) {
        withLine(section, line,
                 [&](const QString& t) { m_listModel->setHeaderData(column, Qt::Horizontal, t); });
    };
    title(MainLine::MessageColumn, MessageColumn);
    title(MainLine::DescriptionColumn, DescriptionColumn);
    title(MainLine::NextTimeColumn, NextTimeColumn);
    settingsPage()->loadTexts(section);
    m_listModel->setTexts(m_editors.texts());
    refreshComputedColumns();
}

void MainWindow::showReadOnly(const QString& why) {
    updateActions();
    statusBar()->showMessage(QStringLiteral("Reminders cannot be changed. ") + why);
}

bool MainWindow::listIsUsable() const {
    return isVisible() && !isMinimized() && m_ui->pages->currentWidget() == m_ui->listPage;
}

std::optional<std::int32_t> MainWindow::currentNumber() const {
    return listView()->currentNumber();
}

void MainWindow::updateActions() {
    const bool writable = m_editors.reminders().fileWritable();
    const bool hasCurrent = writable && currentNumber().has_value();
    for (QAction* a : {m_ui->actionEdit, m_ui->actionCopy, m_ui->actionDelete})
        a->setEnabled(hasCurrent);
    for (QAction* a : {m_ui->actionNew, m_ui->actionNewReminder})
        a->setEnabled(writable);
}

void MainWindow::setJournalEnabled(bool enabled) {
    m_ui->actionJournal->setEnabled(enabled);
}

void MainWindow::newFromList() {
    if (listIsUsable())
        newReminder();
}

void MainWindow::newReminder() {
    if (m_editors.reminders().fileWritable())
        m_editors.openNew();
}

void MainWindow::editReminder() {
    if (const auto number = currentNumber(); number && listIsUsable())
        m_editors.openEditorFor(*number);
}

void MainWindow::copyReminder() {
    const auto number = currentNumber();
    if (!number || !listIsUsable())
        return;
    if (const std::optional<Reminder> source = m_editors.reminders().reminder(*number))
        m_editors.openNew(&*source);
}

void MainWindow::deleteReminder() {
    const auto number = currentNumber();
    if (!number || !listIsUsable())
        return;
    if (!askYesNo(QString::fromStdString(m_editors.texts().deleteReminder), m_editors.texts(),
                  this))
        return;
    // A removal reaches the list through the reminders' change; one gone meanwhile does not.
    if (!m_editors.reminders().remove(*number))
        reloadReminders();
}

void MainWindow::applyPlacement(const WindowPlacement& placement) {
    m_placer->apply(placement);
    // Brought within the screen: a window never shown keeps it so.
    emit placed(this->placement());
}

WindowPlacement MainWindow::placement() const {
    return m_placer->placement();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing only hides the window; "Exit" in the tray menu ends the program.
    event->ignore();
    if (m_trayAvailable)
        hide();
    else
        showMinimized();
}

void MainWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    emit placed(placement());
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    emit placed(placement());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    emit placed(placement());
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        emit placed(placement());
}
