#include "ui/editor/ReminderEditor.h"

#include "ui_ReminderEditor.h"

#include "app/Reminders.h"
#include "core/AppPaths.h"
#include "core/ReminderRules.h"
#include "desktop/PathText.h"
#include "platform/ShellOpen.h"
#include "platform/SoundPlayer.h"
#include "ui/controls/ColorScheme.h"
#include "ui/controls/ScreenBound.h"
#include "ui/controls/SectionText.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/dialogs/InfoDialog.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace {

// Captions of disabled frames.
const QColor DisabledCaption(128, 128, 128);

} // namespace

ReminderEditor::ReminderEditor(Reminders& reminders, SoundPlayer& player, const Texts& texts,
                               const LanguageSection<EditorLine>& lines)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::ReminderEditor>()), m_reminders(reminders), m_player(player),
      m_texts(texts), m_lines(lines), m_momentGroup(new QButtonGroup(this)),
      m_kindGroup(new QButtonGroup(this)), m_powerGroup(new QButtonGroup(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(ColorScheme::font());
    // Captions of disabled frames turn grey.
    QPalette p = palette();
    p.setColor(QPalette::Disabled, QPalette::WindowText, DisabledCaption);
    setPalette(p);

    m_ui->setupUi(this);
    ColorScheme::applyColorScheme(this);
    if (ColorScheme::inUse())
        ColorScheme::fill(m_ui->whenPanel, ColorScheme::schemeColor());

    m_ui->scheduleFrame->setHead(m_ui->scheduledRadio);
    m_ui->dateFrame->setHead(m_ui->onceRadio);
    m_ui->weekdayFrame->setHead(m_ui->weeklyRadio);
    m_ui->monthDayFrame->setHead(m_ui->monthlyRadio);
    m_ui->afterStartFrame->setHead(m_ui->afterStartRadio);
    m_ui->soundFrame->setHead(m_ui->playSoundCheck);
    m_ui->fileFrame->setHead(m_ui->openFileCheck);
    m_ui->powerFrame->setHead(m_ui->powerCheck);

    m_dayChecks = {m_ui->mondayCheck,   m_ui->tuesdayCheck, m_ui->wednesdayCheck,
                   m_ui->thursdayCheck, m_ui->fridayCheck,  m_ui->saturdayCheck,
                   m_ui->sundayCheck};
    m_ui->dateEdit->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    m_ui->monthDayLabel->setBuddy(m_ui->monthDaySpin);
    m_ui->startDelayLabel->setBuddy(m_ui->startDelaySpin);
    m_ui->messageLabel->setBuddy(m_ui->messageEdit);

    m_ui->soundRow->setFilter(QStringLiteral("WAV Files (*.wav)"));
    m_ui->soundRow->setStartFolder([] {
        // The program's sounds, else the program's own folder.
        const QString sounds = pathText(soundsFolder());
        return QFileInfo(sounds).isDir() ? sounds : pathText(programFolder());
    });
    m_ui->fileRow->setFilter(QStringLiteral("All Files (*)"));
    m_ui->fileRow->setStartFolder([] { return pathText(documentsFolder()); });
    m_ui->fileRow->setStopButtonVisible(false);

    m_momentGroup->addButton(m_ui->scheduledRadio);
    m_momentGroup->addButton(m_ui->afterStartRadio);
    m_kindGroup->addButton(m_ui->onceRadio, static_cast<int>(ScheduleKind::Once));
    m_kindGroup->addButton(m_ui->weeklyRadio, static_cast<int>(ScheduleKind::Weekly));
    m_kindGroup->addButton(m_ui->monthlyRadio, static_cast<int>(ScheduleKind::Monthly));
    m_powerGroup->addButton(m_ui->powerOffRadio);
    m_powerGroup->addButton(m_ui->rebootRadio);

    m_captionNew = QStringLiteral("New");
    m_captionEdit = QStringLiteral("Edit");
    loadTexts();
    setAccessibleNames();

    m_tabOrder = {m_ui->scheduledRadio, m_ui->onceRadio, m_ui->dateEdit, m_ui->weeklyRadio};
    for (QCheckBox* day : m_dayChecks)
        m_tabOrder << day;
    m_tabOrder << m_ui->monthlyRadio << m_ui->monthDaySpin << m_ui->afterStartRadio
               << m_ui->startDelaySpin << m_ui->messageEdit << m_ui->showAlertCheck
               << m_ui->clickCheck << m_ui->playSoundCheck << m_ui->soundRow->tabStops()
               << m_ui->openFileCheck << m_ui->fileRow->tabStops() << m_ui->flashCheck
               << m_ui->powerOffRadio << m_ui->rebootRadio << m_ui->powerCheck << m_ui->okButton
               << m_ui->cancelButton;
    for (qsizetype i = 1; i < m_tabOrder.size(); ++i)
        setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);

    m_enterMovesFocus = {m_ui->dateEdit,       m_ui->onceRadio,       m_ui->weeklyRadio,
                         m_ui->monthlyRadio,   m_ui->monthDaySpin,    m_ui->startDelaySpin,
                         m_ui->scheduledRadio, m_ui->afterStartRadio, m_ui->flashCheck,
                         m_ui->playSoundCheck, m_ui->openFileCheck,   m_ui->showAlertCheck,
                         m_ui->clickCheck,     m_ui->messageEdit,     m_ui->powerCheck};
    for (QCheckBox* day : m_dayChecks)
        m_enterMovesFocus << day;
    for (QWidget* w : m_enterMovesFocus) {
        w->installEventFilter(this);
        // Spin boxes and the date picker type into an inner line edit.
        for (QLineEdit* inner : w->findChildren<QLineEdit*>())
            inner->installEventFilter(this);
    }

    wireRules();
    setInitialState();
    setUpKeys();
    m_screenBound = new ScreenBound(this, [this](QSize room) { fitToScreen(room); });
    m_screenBound->refit();
}

ReminderEditor::~ReminderEditor() = default;

void ReminderEditor::setInitialState() {
    m_ui->scheduledRadio->setChecked(true);
    m_ui->onceRadio->setChecked(true);
    m_ui->powerOffRadio->setChecked(true);
    m_ui->showAlertCheck->setChecked(true);
    m_ui->monthDaySpin->setValue(1);
    m_ui->startDelaySpin->setValue(2);
    m_ui->timeStepper->setValue(QTime(0, 0));
    m_ui->clickCheck->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->soundRow, m_ui->fileRow,
                                                      m_ui->powerOffRadio, m_ui->rebootRadio})
        w->setEnabled(false);
    updateScheduleEnabling();
}

void ReminderEditor::setUpKeys() {
    // Ctrl+Enter and Ctrl+S save, Esc cancels, and the keys of the main window's
    // commands are taken so that they never reach it from here.
    const auto key = [this](QKeyCombination keys, auto slot) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    key(Qt::CTRL | Qt::Key_Return, [this] { accept(); });
    key(Qt::CTRL | Qt::Key_Enter, [this] { accept(); });
    key(Qt::CTRL | Qt::Key_S, [this] { accept(); });
    key(QKeyCombination(Qt::Key_Escape), [this] { close(); });
    for (Qt::Key k : {Qt::Key_F2, Qt::Key_F4, Qt::Key_F8, Qt::Key_F9})
        key(QKeyCombination(k), [] {});
}

void ReminderEditor::wireRules() {
    connect(m_ui->showAlertCheck, &QCheckBox::toggled, m_ui->clickCheck, &QWidget::setEnabled);
    connect(m_ui->playSoundCheck, &QCheckBox::toggled, m_ui->soundRow, &QWidget::setEnabled);
    connect(m_ui->openFileCheck, &QCheckBox::toggled, m_ui->fileRow, &QWidget::setEnabled);
    connect(m_ui->powerCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_ui->powerOffRadio->setEnabled(on);
        m_ui->rebootRadio->setEnabled(on);
    });
    connect(m_momentGroup, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on)
            updateScheduleEnabling();
    });
    connect(m_kindGroup, &QButtonGroup::idToggled, this, [this](int kind, bool on) {
        if (on)
            enableKindControls(static_cast<ScheduleKind>(kind));
    });
    connect(m_ui->messageEdit, &QPlainTextEdit::textChanged, this, &ReminderEditor::limitMessage);
    connect(m_ui->soundRow, &FilePathRow::testClicked, this, &ReminderEditor::testSound);
    connect(m_ui->soundRow, &FilePathRow::stopClicked, this, &ReminderEditor::stopSound);
    connect(m_ui->fileRow, &FilePathRow::testClicked, this, &ReminderEditor::testOpen);
    connect(m_ui->okButton, &QPushButton::clicked, this, &ReminderEditor::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QWidget::close);
}

void ReminderEditor::loadTexts() {
    using enum EditorLine;
    const LanguageSection<EditorLine>& lines = m_lines;
    const auto text = [&lines](EditorLine line, auto&& apply) { withLine(lines, line, apply); };
    const auto caption = [&lines](EditorLine line, auto* widget) {
        setTextFromLine(lines, line, widget);
    };
    const auto framed = [](const QString& t) { return QLatin1Char(' ') + t + QLatin1Char(' '); };
    text(CaptionNew, [this](const QString& t) { m_captionNew = t; });
    text(CaptionEdit, [this](const QString& t) { m_captionEdit = t; });
    text(DayGroup, [&](const QString& t) { m_ui->dayFrame->setTitle(framed(t)); });
    text(TimeGroup, [&](const QString& t) { m_ui->timeFrame->setTitle(framed(t)); });
    text(Message, [this](const QString& t) {
        m_ui->messageLabel->setText(t);
        m_ui->messageFrame->setTitle(t);
    });
    caption(Once, m_ui->onceRadio);
    caption(Weekly, m_ui->weeklyRadio);
    const EditorLine days[] = {Monday, Tuesday, Wednesday, Thursday, Friday, Saturday, Sunday};
    for (std::size_t day = 0; day < m_dayChecks.size(); ++day)
        caption(days[day], m_dayChecks[day]);
    caption(Monthly, m_ui->monthlyRadio);
    caption(MonthDay, m_ui->monthDayLabel);
    caption(ShowAlert, m_ui->showAlertCheck);
    caption(PlaySound, m_ui->playSoundCheck);
    caption(FlashTray, m_ui->flashCheck);
    caption(Click, m_ui->clickCheck);
    caption(Ok, m_ui->okButton);
    caption(Cancel, m_ui->cancelButton);
    caption(When, m_ui->whenLabel);
    caption(What, m_ui->whatLabel);
    caption(Scheduled, m_ui->scheduledRadio);
    caption(AfterStart, m_ui->afterStartRadio);
    caption(StartDelay, m_ui->startDelayLabel);
    caption(StartDelayUnit, m_ui->startDelayUnitLabel);
    caption(OpenFile, m_ui->openFileCheck);
    for (FilePathRow* row : {m_ui->soundRow, m_ui->fileRow}) {
        text(ChooseHint, [row](const QString& t) { row->setChooseHint(t); });
        text(TestHint, [row](const QString& t) { row->setTestHint(t); });
    }
    text(StopHint, [this](const QString& t) { m_ui->soundRow->setStopHint(t); });
    caption(Power, m_ui->powerCheck);
    caption(PowerOff, m_ui->powerOffRadio);
    caption(Reboot, m_ui->rebootRadio);
    m_texts.loadEditor(lines);
}

void ReminderEditor::setAccessibleNames() {
    const auto plain = [](const QString& s) {
        QString t = s.trimmed();
        if (t.endsWith(QLatin1Char(':')))
            t.chop(1);
        return t.trimmed();
    };
    m_ui->dateEdit->setAccessibleName(plain(m_ui->onceRadio->text()));
    m_ui->monthDaySpin->setAccessibleName(plain(m_ui->monthDayLabel->text()));
    m_ui->startDelaySpin->setAccessibleName(plain(m_ui->afterStartRadio->text()) +
                                            QStringLiteral(", ") +
                                            plain(m_ui->startDelayUnitLabel->text()));
    m_ui->messageEdit->setAccessibleName(plain(m_ui->messageLabel->text()));
    // Frames headed by a button are named by it.
    for (HeadedFrame* frame :
         {m_ui->scheduleFrame, m_ui->dateFrame, m_ui->weekdayFrame, m_ui->monthDayFrame,
          m_ui->afterStartFrame, m_ui->soundFrame, m_ui->fileFrame, m_ui->powerFrame})
        frame->setAccessibleName(plain(frame->head()->text()));
    m_ui->soundRow->setPathDescription(plain(m_ui->playSoundCheck->text()));
    m_ui->fileRow->setPathDescription(plain(m_ui->openFileCheck->text()));
    m_ui->timeStepper->setDigitsDescription(plain(m_ui->timeFrame->title()));
}

// --- opening ----------------------------------------------------------------

void ReminderEditor::setNewMode(const QIcon& icon) {
    m_isNew = true;
    m_number = -1;
    setWindowTitle(m_captionNew);
    if (!icon.isNull())
        setWindowIcon(icon);
}

void ReminderEditor::setEditMode(std::int32_t number, const QIcon& icon) {
    m_isNew = false;
    m_number = number;
    setWindowTitle(m_captionEdit + QLatin1Char(' ') + QString::number(number));
    if (!icon.isNull())
        setWindowIcon(icon);
}

void ReminderEditor::fill(const Reminder& r) {
    const CalendarTime c = calendarTime(r.moment);
    if (const QDate d(c.year, c.month, c.day); d.isValid())
        m_ui->dateEdit->setDate(d);
    m_ui->timeStepper->setValue(QTime(c.hour, c.minute));
    // A kind the editor does not offer (written by another program) keeps the selection.
    if (QAbstractButton* kind = m_kindGroup->button(static_cast<int>(r.kind)))
        kind->setChecked(true);
    for (std::size_t i = 0; i < m_dayChecks.size(); ++i)
        m_dayChecks[i]->setChecked(r.days[i]);
    m_ui->monthDaySpin->setValue(r.monthDay == 0 ? 1 : r.monthDay);
    m_ui->showAlertCheck->setChecked(r.showAlert);
    m_ui->clickCheck->setChecked(r.click);
    m_ui->flashCheck->setChecked(r.flashTray);
    m_ui->playSoundCheck->setChecked(r.playSound);
    m_ui->soundRow->setPath(QString::fromStdString(r.soundPath));
    m_ui->openFileCheck->setChecked(r.openFile);
    m_ui->fileRow->setPath(QString::fromStdString(r.openPath));
    m_ui->messageEdit->setPlainText(QString::fromStdString(r.message));
    (r.afterStart ? m_ui->afterStartRadio : m_ui->scheduledRadio)->setChecked(true);
    m_ui->startDelaySpin->setValue(r.minutesAfterStart);
    m_ui->powerCheck->setChecked(r.power);
    (r.powerAction == PowerAction::PowerOff ? m_ui->powerOffRadio : m_ui->rebootRadio)
        ->setChecked(true);
    updateScheduleEnabling();
}

Reminder ReminderEditor::reminder() const {
    Reminder r;
    r.isNew = m_isNew;
    r.number = m_isNew ? -1 : m_number;
    const QDate d = m_ui->dateEdit->date();
    const QTime t = m_ui->timeStepper->value();
    r.moment = makeMoment(d.year(), d.month(), d.day(), t.hour(), t.minute(), 0, 0);
    r.kind = scheduleKind();
    for (std::size_t i = 0; i < m_dayChecks.size(); ++i)
        r.days[i] = m_dayChecks[i]->isChecked();
    r.monthDay = static_cast<std::uint16_t>(m_ui->monthDaySpin->value());
    r.showAlert = m_ui->showAlertCheck->isChecked();
    r.click = m_ui->clickCheck->isChecked();
    r.flashTray = m_ui->flashCheck->isChecked();
    r.playSound = m_ui->playSoundCheck->isChecked();
    r.soundPath = m_ui->soundRow->path().toStdString();
    r.openFile = m_ui->openFileCheck->isChecked();
    r.openPath = m_ui->fileRow->path().toStdString();
    r.message = m_ui->messageEdit->toPlainText().toStdString();
    r.afterStart = m_ui->afterStartRadio->isChecked();
    r.minutesAfterStart = m_ui->startDelaySpin->value();
    r.power = m_ui->powerCheck->isChecked();
    r.powerAction = m_ui->powerOffRadio->isChecked() ? PowerAction::PowerOff : PowerAction::Reboot;
    return r;
}

// --- enabling rules ---------------------------------------------------------

ScheduleKind ReminderEditor::scheduleKind() const {
    if (m_ui->onceRadio->isChecked())
        return ScheduleKind::Once;
    if (m_ui->weeklyRadio->isChecked())
        return ScheduleKind::Weekly;
    return ScheduleKind::Monthly;
}

void ReminderEditor::enableKindControls(ScheduleKind kind) {
    // Disabled controls keep their values, which are saved like all others.
    for (QCheckBox* day : m_dayChecks)
        day->setEnabled(kind == ScheduleKind::Weekly);
    m_ui->dateEdit->setEnabled(kind == ScheduleKind::Once);
    m_ui->monthDayLabel->setEnabled(kind == ScheduleKind::Monthly);
    m_ui->monthDaySpin->setEnabled(kind == ScheduleKind::Monthly);
}

void ReminderEditor::updateScheduleEnabling() {
    const bool scheduled = m_ui->scheduledRadio->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->startDelayLabel, m_ui->startDelaySpin,
                                                      m_ui->startDelayUnitLabel})
        w->setEnabled(!scheduled);
    // The day and time frames hold everything of the schedule side but its head; while
    // they are disabled nothing in them takes input, whatever the day kind enabled.
    m_ui->dayFrame->setEnabled(scheduled);
    m_ui->timeFrame->setEnabled(scheduled);
    enableKindControls(scheduleKind());
}

// --- commands ---------------------------------------------------------------

void ReminderEditor::accept() {
    if (m_closing)
        return;
    const Reminder record = reminder();
    switch (missingEntry(record)) {
    case MissingEntry::None:
        break;
    case MissingEntry::Weekday:
        refuse(m_texts.noDayMarked, m_dayChecks[0]);
        return;
    case MissingEntry::Action:
        refuse(m_texts.noItemMarked, m_ui->showAlertCheck);
        return;
    case MissingEntry::SoundFile:
        refuse(m_texts.chooseSoundFile, m_ui->soundRow->chooseButton());
        return;
    case MissingEntry::FileToOpen:
        refuse(m_texts.chooseFileToOpen, m_ui->fileRow->chooseButton());
        return;
    }
    const Status saved =
        m_isNew ? m_reminders.add(record) : m_reminders.update(m_number, record);
    // Not saved: say why; the user's input stays.
    if (!saved) {
        showErrorMessage(QString::fromStdString(saved.message()));
        return;
    }
    // The reminder is taken; a failed file write is reported by the reminders and the
    // editor closes all the same, so that "Ok" cannot add the reminder twice.
    close();
}

void ReminderEditor::refuse(const std::string& why, QWidget* cause) {
    // The program may end while the dialog is open, destroying this editor.
    QPointer<ReminderEditor> self(this);
    showInfo(QString::fromStdString(why), this);
    if (self)
        focusControl(cause, Qt::OtherFocusReason);
}

void ReminderEditor::closeEvent(QCloseEvent* event) {
    m_closing = true;
    event->accept();
}

// --- the message, sounds and files ------------------------------------------

void ReminderEditor::limitMessage() {
    QPlainTextEdit* edit = m_ui->messageEdit;
    const QString text = edit->toPlainText();
    if (text.toUcs4().size() <= MaxMessageLength)
        return;
    // Cut after the last character allowed, never inside a surrogate pair.
    qsizetype cut = 0;
    for (int chars = 0; chars < MaxMessageLength && cut < text.size(); ++chars)
        cut += text.at(cut).isHighSurrogate() && cut + 1 < text.size() ? 2 : 1;
    const int position = edit->textCursor().position();
    const QSignalBlocker block(edit);
    edit->setPlainText(text.left(cut));
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(std::min<int>(position, static_cast<int>(cut)));
    edit->setTextCursor(cursor);
}

void ReminderEditor::testSound(const QString& path) {
    // Silently nothing without a sound file.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    m_player.play(path.toStdString(), [editor = QPointer(this)](const std::string& reason, bool) {
        if (editor)
            showInfo(QString::fromStdString(editor->m_texts.cannotPlaySound + '\n' + reason),
                     editor);
    });
}

void ReminderEditor::stopSound() {
    m_player.stop();
}

void ReminderEditor::testOpen(const QString& path) {
    if (!path.isEmpty() && QFileInfo::exists(path))
        shellOpen(path.toStdString());
}

// --- keys -------------------------------------------------------------------

bool ReminderEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Enter moves on along the tab order (it never starts a new line in the message).
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w != nullptr && qobject_cast<QLineEdit*>(w) != nullptr &&
                !m_enterMovesFocus.contains(w))
                w = w->parentWidget();
            if (QWidget* next = nextInTabOrder(w, true))
                focusControl(next, Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool ReminderEditor::takesTabFocus(QWidget* widget) const {
    if (!widget->isVisibleTo(this) || !widget->isEnabled())
        return false;
    // Of a group of radio buttons only the selected one is reached by Tab. (Qt moves
    // the Tab focus flag within a group to the button focused last; the selection
    // decides here.)
    if (auto* radio = qobject_cast<QRadioButton*>(widget))
        return radio->isChecked();
    return (widget->focusPolicy() & Qt::TabFocus) != 0;
}

QWidget* ReminderEditor::nextInTabOrder(QWidget* from, bool next) const {
    while (from != nullptr && from != this && !m_tabOrder.contains(from))
        from = from->parentWidget();
    const qsizetype n = m_tabOrder.size();
    const qsizetype at = from != nullptr ? m_tabOrder.indexOf(from) : -1;
    if (at < 0)
        return nullptr;
    for (qsizetype step = 1; step <= n; ++step) {
        const qsizetype i = ((at + (next ? step : -step)) % n + n) % n;
        if (takesTabFocus(m_tabOrder[i]))
            return m_tabOrder[i];
    }
    return nullptr;
}

bool ReminderEditor::focusNextPrevChild(bool next) {
    if (QWidget* w = nextInTabOrder(focusWidget(), next)) {
        focusControl(w, next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void ReminderEditor::focusControl(QWidget* control, Qt::FocusReason reason) {
    control->setFocus(reason);
    // On a small screen the content scrolls: the control comes into view.
    if (m_ui->content->isAncestorOf(control))
        m_ui->contentScroll->ensureWidgetVisible(control);
}

// --- size -------------------------------------------------------------------

void ReminderEditor::fitToScreen(QSize room) {
    // The content whole, as the form lays it out, with the rows below it. Every layout
    // measures afresh: the texts, fonts and style may have changed since the last fit.
    QWidget* content = m_ui->content;
    for (QLayout* l : findChildren<QLayout*>())
        l->invalidate();
    const QSize contentSize = content->sizeHint();
    content->setMinimumSize(contentSize);
    QSize below(0, 0);
    QLayout* rows = layout();
    for (int i = 0; i < rows->count(); ++i) {
        QLayoutItem* item = rows->itemAt(i);
        if (item->widget() == m_ui->contentScroll)
            continue;
        const QSize hint = item->sizeHint();
        below = QSize(std::max(below.width(), hint.width()), below.height() + hint.height());
    }
    const QSize whole(std::max(contentSize.width(), below.width()),
                      contentSize.height() + below.height());
    // Where the screen is too small, the content scrolls and "Ok" and "Cancel" stay in
    // view below it; a scroll bar needs its own room.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_ui->contentScroll);
    const bool tooWide = whole.width() > room.width();
    const bool tooHigh = whole.height() + (tooWide ? bar : 0) > room.height();
    const bool barBelow = tooWide || whole.width() + (tooHigh ? bar : 0) > room.width();
    const QSize size(whole.width() + (tooHigh ? bar : 0), whole.height() + (barBelow ? bar : 0));
    // A fixed frame: the user does not resize the window.
    setFixedSize(size.boundedTo(room));
}
