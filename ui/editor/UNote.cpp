#include "ui/editor/UNote.h"

#include "core/AppPaths.h"
#include "platform/ShellOpen.h"
#include "platform/SoundPlayer.h"
#include "ui/controls/ColorScheme.h"
#include "ui/dialogs/ErrorMessage.h"
#include "ui/dialogs/InfoDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <exception>

namespace {

// The warm grey of newer desktops (red 209, green 208, blue 203).
const QColor SchemeColour(209, 208, 203);
// Captions of disabled frames.
const QColor DisabledCaption(128, 128, 128);

EditorFileChooser& FileChooser() {
    static EditorFileChooser chooser;
    return chooser;
}

QString ChooseFile(QWidget* parent, const QString& startFolder, const QString& filter) {
    if (const EditorFileChooser& c = FileChooser())
        return c(parent, startFolder, filter);
    return QFileDialog::getOpenFileName(parent, QString(), startFolder, filter);
}

QString TwoDigits(int v) {
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

qsizetype CodePoints(const QString& s) {
    return s.toUcs4().size();
}

// Places a check box or radio button on the top edge of its frame, where the
// frame's caption would be.
void Head(QWidget* head, QGroupBox* frame, int above) {
    head->adjustSize();
    head->move(frame->x() + 8, frame->y() - above);
    head->setAutoFillBackground(true);
    head->raise();
}

QGroupBox* Frame(QWidget* parent, const char* name, const QRect& r) {
    auto* g = new QGroupBox(parent);
    g->setObjectName(QLatin1String(name));
    g->setGeometry(r);
    return g;
}

template <class W> W* Make(QWidget* parent, const char* name, const QRect& r) {
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(r);
    return w;
}

QToolButton* FlatButton(QWidget* parent, const char* name, const QRect& r) {
    auto* b = Make<QToolButton>(parent, name, r);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

void SetEditorFileChooser(EditorFileChooser chooser) {
    FileChooser() = std::move(chooser);
}

TfNote::TfNote(const EditorContext& ctx)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      ctx_(ctx), timer1_(new QTimer(this)) {
    setObjectName(QStringLiteral("fNote"));
    setAttribute(Qt::WA_DeleteOnClose);
    FormCreate();
}

TfNote::~TfNote() = default;

void TfNote::FormCreate() {
    setFont(ColorScheme::font());
    setFixedSize(694, 467);

    // The scheme colour everywhere; captions of disabled frames turn grey.
    QPalette p = palette();
    p.setColor(QPalette::Window, SchemeColour);
    p.setColor(QPalette::Button, SchemeColour);
    p.setColor(QPalette::Disabled, QPalette::WindowText, DisabledCaption);
    setPalette(p);
    setAutoFillBackground(true);

    BuildWhen();
    BuildWhat();

    auto* vline = Make<QFrame>(this, "Bevel1", QRect(346, 8, 2, 404));
    vline->setFrameShape(QFrame::VLine);
    vline->setFrameShadow(QFrame::Sunken);
    auto* hline = Make<QFrame>(this, "Bevel2", QRect(8, 416, 678, 2));
    hline->setFrameShape(QFrame::HLine);
    hline->setFrameShadow(QFrame::Sunken);

    btOk = Make<QPushButton>(this, "btOk", QRect(498, 430, 88, 26));
    btCancel = Make<QPushButton>(this, "btCancel", QRect(594, 430, 88, 26));
    // Enter on a focused button presses it.
    btOk->setAutoDefault(true);
    btCancel->setAutoDefault(true);
    connect(btOk, &QPushButton::clicked, this, &TfNote::btOkClick);
    connect(btCancel, &QPushButton::clicked, this, &TfNote::btCancelClick);

    CaptionNew = QStringLiteral("New");
    CaptionEdit = QStringLiteral("Edit");
    SetBuiltInTexts();
    LoadEditorTexts();
    SetAccessibleNames();

    // The heads sit on their frames' top edges; sized after the texts are known.
    Head(rbSchedule, GroupBox8, 5);
    Head(rbAfterStart, GroupBox9, 5);
    Head(RadioButton1, GroupBox3, 1);
    Head(RadioButton2, GroupBox1, 1);
    Head(RadioButton3, GroupBox5, 1);
    Head(CHBSound, GroupBox6, 8);
    Head(chbRunProg, GroupBox7, 8);
    Head(chbSpecial, GroupBox11, 8);

    tabOrder_ = {rbSchedule, RadioButton1, DE,           RadioButton2, CheckBox1,  CheckBox2,
                 CheckBox3,  CheckBox4,    CheckBox5,    CheckBox6,    CheckBox7,  RadioButton3,
                 seDay,      rbAfterStart, seMinutes,    Memo1,        chbMessage, chbWithSound,
                 CHBSound,   chbRunProg,   CHBAnimation, rbShutdown,   rbReboot,   chbSpecial,
                 btOk,       btCancel};
    for (qsizetype i = 1; i < tabOrder_.size(); ++i)
        setTabOrder(tabOrder_[i - 1], tabOrder_[i]);

    enterMovesFocus_ = {CheckBox1,    CheckBox2, CheckBox3,  CheckBox4,    CheckBox5,
                        CheckBox6,    CheckBox7, DE,         RadioButton1, RadioButton2,
                        RadioButton3, seDay,     seMinutes,  rbSchedule,   rbAfterStart,
                        CHBAnimation, CHBSound,  chbRunProg, chbMessage,   chbWithSound,
                        Memo1,        chbSpecial};
    for (QWidget* w : enterMovesFocus_) {
        w->installEventFilter(this);
        // Spin boxes and the date picker type into an inner line edit.
        for (QLineEdit* inner : w->findChildren<QLineEdit*>())
            inner->installEventFilter(this);
    }
    for (QToolButton* b : {spbUpH, spbDwH, spbUpM, spbDwM})
        b->installEventFilter(this);

    WireRules();

    rbSchedule->setChecked(true);
    RadioButton1->setChecked(true);
    rbShutdown->setChecked(true);
    chbMessage->setChecked(true);
    seDay->setValue(1);
    seMinutes->setValue(2);
    SetTime(0, 0);
    chbWithSound->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(SpeedButton1), static_cast<QWidget*>(SpeedButton2),
                       static_cast<QWidget*>(SpeedButton3), static_cast<QWidget*>(lbSPath),
                       static_cast<QWidget*>(SpeedButton4), static_cast<QWidget*>(SpeedButton5),
                       static_cast<QWidget*>(lbPPath), static_cast<QWidget*>(rbShutdown),
                       static_cast<QWidget*>(rbReboot)})
        w->setEnabled(false);
    SetMomentsEnabled();

    BtCounter = 0;
    timer1_->setInterval(RepeatMs);
    connect(timer1_, &QTimer::timeout, this, &TfNote::Timer1Timer);

    // Keys of the window: Ctrl+Enter and Ctrl+S save, Esc cancels, and the keys of
    // the main window's commands are taken so that they never reach it from here.
    auto key = [this](const QKeySequence& k, auto slot) {
        auto* s = new QShortcut(k, this);
        connect(s, &QShortcut::activated, this, slot);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_Return), [this] { btOkClick(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Enter), [this] { btOkClick(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { btOkClick(); });
    key(QKeySequence(Qt::Key_Escape), [this] { btCancelClick(); });
    for (Qt::Key k : {Qt::Key_F2, Qt::Key_F4, Qt::Key_F8, Qt::Key_F9})
        key(QKeySequence(k), [] {});
    // The time from the keyboard as well: one step per key press.
    key(QKeySequence(Qt::ALT | Qt::Key_Up), [this] { spbUpH->isEnabled() ? Step(3) : void(); });
    key(QKeySequence(Qt::ALT | Qt::Key_Down), [this] { spbDwH->isEnabled() ? Step(4) : void(); });
    key(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Up),
        [this] { spbUpM->isEnabled() ? Step(1) : void(); });
    key(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Down),
        [this] { spbDwM->isEnabled() ? Step(2) : void(); });
}

void TfNote::BuildWhen() {
    Panel1 = Make<QFrame>(this, "Panel1", QRect(0, 0, 346, 414));

    Label8 = Make<QLabel>(Panel1, "Label8", QRect(14, 6, 200, 18));
    QFont bold = Label8->font();
    bold.setBold(true);
    Label8->setFont(bold);

    GroupBox8 = Frame(Panel1, "GroupBox8", QRect(8, 34, 330, 294));
    rbSchedule = new QRadioButton(Panel1);
    rbSchedule->setObjectName(QStringLiteral("rbSchedule"));

    GroupBox2 = Frame(GroupBox8, "GroupBox2", QRect(8, 16, 314, 192));
    GroupBox3 = Frame(GroupBox2, "GroupBox3", QRect(8, 26, 298, 46));
    RadioButton1 = new QRadioButton(GroupBox2);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    DE = Make<QDateEdit>(GroupBox3, "DE", QRect(12, 16, 130, 22));
    DE->setCalendarPopup(true);
    DE->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DE->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));

    GroupBox1 = Frame(GroupBox2, "GroupBox1", QRect(8, 82, 298, 46));
    RadioButton2 = new QRadioButton(GroupBox2);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    const char* dayNames[7] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4",
                               "CheckBox5", "CheckBox6", "CheckBox7"};
    for (int i = 0; i < 7; ++i)
        days_[i] = Make<QCheckBox>(GroupBox1, dayNames[i], QRect(10 + i * 41, 18, 40, 20));
    CheckBox1 = days_[0], CheckBox2 = days_[1], CheckBox3 = days_[2], CheckBox4 = days_[3];
    CheckBox5 = days_[4], CheckBox6 = days_[5], CheckBox7 = days_[6];

    GroupBox5 = Frame(GroupBox2, "GroupBox5", QRect(8, 138, 298, 46));
    RadioButton3 = new QRadioButton(GroupBox2);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    Label5 = Make<QLabel>(GroupBox5, "Label5", QRect(12, 21, 44, 16));
    seDay = Make<QSpinBox>(GroupBox5, "seDay", QRect(60, 18, 56, 22));
    seDay->setRange(1, 31);
    Label5->setBuddy(seDay);

    GroupBox4 = Frame(GroupBox8, "GroupBox4", QRect(8, 212, 314, 76));
    QFont big = font();
    big.setPixelSize(24);
    const int timeLeft = (314 - (44 + 14 + 44)) / 2;
    Label1 = Make<QLabel>(GroupBox4, "Label1", QRect(timeLeft, 22, 44, 44));
    Label3 = Make<QLabel>(GroupBox4, "Label3", QRect(timeLeft + 44, 22, 14, 44));
    Label2 = Make<QLabel>(GroupBox4, "Label2", QRect(timeLeft + 58, 22, 44, 44));
    for (QLabel* l : {Label1, Label3, Label2}) {
        l->setFont(big);
        l->setAlignment(Qt::AlignCenter);
    }
    Label3->setText(QStringLiteral(":"));
    spbUpH = FlatButton(GroupBox4, "spbUpH", QRect(timeLeft - 26, 24, 22, 20));
    spbDwH = FlatButton(GroupBox4, "spbDwH", QRect(timeLeft - 26, 45, 22, 20));
    spbUpM = FlatButton(GroupBox4, "spbUpM", QRect(timeLeft + 106, 24, 22, 20));
    spbDwM = FlatButton(GroupBox4, "spbDwM", QRect(timeLeft + 106, 45, 22, 20));
    for (QToolButton* b : {spbUpH, spbUpM})
        b->setArrowType(Qt::UpArrow);
    for (QToolButton* b : {spbDwH, spbDwM})
        b->setArrowType(Qt::DownArrow);

    GroupBox9 = Frame(Panel1, "GroupBox9", QRect(8, 346, 330, 60));
    rbAfterStart = new QRadioButton(Panel1);
    rbAfterStart->setObjectName(QStringLiteral("rbAfterStart"));
    Label6 = Make<QLabel>(GroupBox9, "Label6", QRect(16, 28, 30, 16));
    seMinutes = Make<QSpinBox>(GroupBox9, "seMinutes", QRect(50, 24, 70, 22));
    seMinutes->setRange(0, 1439);
    Label7 = Make<QLabel>(GroupBox9, "Label7", QRect(126, 28, 120, 16));
    Label6->setBuddy(seMinutes);

    momentGroup_ = new QButtonGroup(this);
    momentGroup_->addButton(rbSchedule);
    momentGroup_->addButton(rbAfterStart);
    dayKindGroup_ = new QButtonGroup(this);
    dayKindGroup_->addButton(RadioButton1, 0);
    dayKindGroup_->addButton(RadioButton2, 1);
    dayKindGroup_->addButton(RadioButton3, 2);
}

void TfNote::BuildWhat() {
    const int x = 356;
    Label9 = Make<QLabel>(this, "Label9", QRect(x + 6, 6, 200, 18));
    QFont bold = Label9->font();
    bold.setBold(true);
    Label9->setFont(bold);

    GroupBox10 = Frame(this, "GroupBox10", QRect(x, 34, 330, 136));
    Label4 = Make<QLabel>(GroupBox10, "Label4", QRect(10, 20, 200, 16));
    Memo1 = Make<QPlainTextEdit>(GroupBox10, "Memo1", QRect(10, 38, 310, 60));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    Label4->setBuddy(Memo1);
    chbMessage = Make<QCheckBox>(GroupBox10, "chbMessage", QRect(10, 106, 150, 20));
    chbWithSound = Make<QCheckBox>(GroupBox10, "chbWithSound", QRect(170, 106, 150, 20));

    GroupBox6 = Frame(this, "GroupBox6", QRect(x, 190, 330, 50));
    CHBSound = new QCheckBox(this);
    CHBSound->setObjectName(QStringLiteral("CHBSound"));
    SpeedButton1 = FlatButton(GroupBox6, "SpeedButton1", QRect(10, 16, 26, 24));
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton2 = FlatButton(GroupBox6, "SpeedButton2", QRect(38, 16, 26, 24));
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    SpeedButton3 = FlatButton(GroupBox6, "SpeedButton3", QRect(66, 16, 26, 24));
    SpeedButton3->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    lbSPath = Make<QLabel>(GroupBox6, "lbSPath", QRect(98, 20, 224, 18));

    GroupBox7 = Frame(this, "GroupBox7", QRect(x, 258, 330, 50));
    chbRunProg = new QCheckBox(this);
    chbRunProg->setObjectName(QStringLiteral("chbRunProg"));
    SpeedButton4 = FlatButton(GroupBox7, "SpeedButton4", QRect(10, 16, 26, 24));
    SpeedButton4->setText(QStringLiteral("..."));
    SpeedButton5 = FlatButton(GroupBox7, "SpeedButton5", QRect(38, 16, 26, 24));
    SpeedButton5->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    lbPPath = Make<QLabel>(GroupBox7, "lbPPath", QRect(70, 20, 252, 18));

    for (QLabel* l : {lbSPath, lbPPath}) {
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(false);
    }

    CHBAnimation = Make<QCheckBox>(this, "CHBAnimation", QRect(x + 8, 318, 200, 20));

    GroupBox11 = Frame(this, "GroupBox11", QRect(x, 352, 330, 50));
    chbSpecial = new QCheckBox(this);
    chbSpecial->setObjectName(QStringLiteral("chbSpecial"));
    rbShutdown = Make<QRadioButton>(GroupBox11, "rbShutdown", QRect(12, 20, 140, 20));
    rbReboot = Make<QRadioButton>(GroupBox11, "rbReboot", QRect(160, 20, 140, 20));
    powerGroup_ = new QButtonGroup(this);
    powerGroup_->addButton(rbShutdown);
    powerGroup_->addButton(rbReboot);

    connect(SpeedButton1, &QToolButton::clicked, this, &TfNote::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TfNote::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TfNote::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TfNote::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TfNote::SpeedButton5Click);
}

void TfNote::SetBuiltInTexts() {
    GroupBox2->setTitle(QStringLiteral(" Day "));
    GroupBox4->setTitle(QStringLiteral(" Time "));
    Label4->setText(QStringLiteral("Message"));
    GroupBox10->setTitle(Label4->text());
    RadioButton1->setText(QStringLiteral("Date"));
    RadioButton2->setText(QStringLiteral("Day of week"));
    const char* dayTexts[7] = {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"};
    for (int i = 0; i < 7; ++i)
        days_[i]->setText(QLatin1String(dayTexts[i]));
    RadioButton3->setText(QStringLiteral(" Every month"));
    Label5->setText(QStringLiteral("Day :"));
    chbMessage->setText(QStringLiteral("Show message"));
    CHBSound->setText(QStringLiteral("Play sound:"));
    CHBAnimation->setText(QStringLiteral("Animation"));
    chbWithSound->setText(QStringLiteral("with click"));
    btOk->setText(QStringLiteral("Ok"));
    btCancel->setText(QStringLiteral("Cancel"));
    Label8->setText(QStringLiteral("When"));
    Label9->setText(QStringLiteral("What"));
    rbSchedule->setText(QStringLiteral("On schedule"));
    rbAfterStart->setText(QStringLiteral("After start"));
    Label6->setText(QStringLiteral("in"));
    Label7->setText(QStringLiteral("minutes"));
    chbRunProg->setText(QStringLiteral("Open file"));
    for (QToolButton* b : {SpeedButton1, SpeedButton4})
        b->setToolTip(QStringLiteral("Select..."));
    for (QToolButton* b : {SpeedButton2, SpeedButton5})
        b->setToolTip(QStringLiteral("Test"));
    SpeedButton3->setToolTip(QStringLiteral("Stop test"));
    chbSpecial->setText(QStringLiteral("Special"));
    rbShutdown->setText(QStringLiteral("Shutdown"));
    rbReboot->setText(QStringLiteral("Reboot"));
    spbUpH->setToolTip(QStringLiteral("Hour up (Alt+Up)"));
    spbDwH->setToolTip(QStringLiteral("Hour down (Alt+Down)"));
    spbUpM->setToolTip(QStringLiteral("Minute up (Alt+Shift+Up)"));
    spbDwM->setToolTip(QStringLiteral("Minute down (Alt+Shift+Down)"));
}

void TfNote::LoadEditorTexts() {
    // Language files are not read yet: the built-in texts set at creation stay.
}

void TfNote::SetAccessibleNames() {
    auto plain = [](const QString& s) {
        QString t = s.trimmed();
        if (t.endsWith(QLatin1Char(':')))
            t.chop(1);
        return t.trimmed();
    };
    // Buttons with a caption are named by it; the others by their hint.
    for (QToolButton* b : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5,
                           spbUpH, spbDwH, spbUpM, spbDwM}) {
        QString hint = b->toolTip();
        if (const qsizetype paren = hint.indexOf(QLatin1String(" ("));
            paren > 0 && b->arrowType() != Qt::NoArrow)
            hint.truncate(paren);
        b->setAccessibleName(hint);
    }
    DE->setAccessibleName(plain(RadioButton1->text()));
    seDay->setAccessibleName(plain(Label5->text()));
    seMinutes->setAccessibleName(plain(rbAfterStart->text()) + QStringLiteral(", ") +
                                 plain(Label7->text()));
    Memo1->setAccessibleName(plain(Label4->text()));
    GroupBox8->setAccessibleName(plain(rbSchedule->text()));
    GroupBox3->setAccessibleName(plain(RadioButton1->text()));
    GroupBox1->setAccessibleName(plain(RadioButton2->text()));
    GroupBox5->setAccessibleName(plain(RadioButton3->text()));
    GroupBox9->setAccessibleName(plain(rbAfterStart->text()));
    GroupBox6->setAccessibleName(plain(CHBSound->text()));
    GroupBox7->setAccessibleName(plain(chbRunProg->text()));
    GroupBox11->setAccessibleName(plain(chbSpecial->text()));
    lbSPath->setAccessibleDescription(plain(CHBSound->text()));
    lbPPath->setAccessibleDescription(plain(chbRunProg->text()));
    Label1->setAccessibleDescription(plain(GroupBox4->title()));
    Label2->setAccessibleDescription(plain(GroupBox4->title()));
}

void TfNote::WireRules() {
    connect(chbMessage, &QCheckBox::toggled, this,
            [this](bool on) { chbWithSound->setEnabled(on); });
    connect(CHBSound, &QCheckBox::toggled, this, [this](bool on) {
        for (QWidget* w : {static_cast<QWidget*>(SpeedButton1), static_cast<QWidget*>(SpeedButton2),
                           static_cast<QWidget*>(SpeedButton3), static_cast<QWidget*>(lbSPath)})
            w->setEnabled(on);
    });
    connect(chbRunProg, &QCheckBox::toggled, this, [this](bool on) {
        for (QWidget* w : {static_cast<QWidget*>(SpeedButton4), static_cast<QWidget*>(SpeedButton5),
                           static_cast<QWidget*>(lbPPath)})
            w->setEnabled(on);
    });
    connect(chbSpecial, &QCheckBox::toggled, this, [this](bool on) {
        rbShutdown->setEnabled(on);
        rbReboot->setEnabled(on);
    });
    connect(momentGroup_, &QButtonGroup::buttonToggled, this,
            [this](QAbstractButton*, bool on) { on ? SetMomentsEnabled() : void(); });
    connect(dayKindGroup_, &QButtonGroup::idToggled, this,
            [this](int id, bool on) { on ? SetDaysEnabled(id) : void(); });
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TfNote::LimitMessage);
}

// --- opening ----------------------------------------------------------------

void TfNote::SetNewMode() {
    isNew = true;
    NumOfThing = -1;
    setWindowTitle(CaptionNew);
    if (!ctx_.newIcon.isNull())
        setWindowIcon(ctx_.newIcon);
}

void TfNote::SetEditMode(std::int32_t N) {
    isNew = false;
    NumOfThing = N;
    setWindowTitle(CaptionEdit + QLatin1Char(' ') + QString::number(N));
    if (!ctx_.editIcon.isNull())
        setWindowIcon(ctx_.editIcon);
}

void TfNote::FillFrom(const Reminder& r) {
    const CalendarTime c = calendarTime(r.moment);
    if (const QDate d(c.year, c.month, c.day); d.isValid())
        DE->setDate(d);
    SetTime(c.hour, c.minute);
    if (const auto kind = static_cast<int>(r.kind); kind <= 2)
        dayKindGroup_->button(kind)->setChecked(true);
    const WeekDays days = r.days;
    for (int i = 0; i < 7; ++i)
        days_[i]->setChecked(days[i]);
    seDay->setValue(r.monthDay == 0 ? 1 : r.monthDay);
    chbMessage->setChecked(r.showAlert);
    chbWithSound->setChecked(r.click);
    CHBAnimation->setChecked(r.flashTray);
    CHBSound->setChecked(r.playSound);
    lbSPath->setText(QString::fromStdString(r.soundPath));
    chbRunProg->setChecked(r.openFile);
    lbPPath->setText(QString::fromStdString(r.openPath));
    Memo1->setPlainText(QString::fromStdString(r.message));
    (r.afterStart ? rbAfterStart : rbSchedule)->setChecked(true);
    seMinutes->setValue(r.minutesAfterStart);
    chbSpecial->setChecked(r.power);
    (r.powerAction == PowerAction::PowerOff ? rbShutdown : rbReboot)->setChecked(true);
    SetMomentsEnabled();
}

Reminder TfNote::BuildThing() const {
    Reminder r;
    r.isNew = isNew;
    r.number = isNew ? -1 : NumOfThing;
    const QDate d = DE->date();
    r.moment = makeMoment(d.year(), d.month(), d.day(), Label1->text().toInt(),
                          Label2->text().toInt(), 0, 0);
    r.kind = static_cast<ScheduleKind>(CheckedRadioMod());
    WeekDays days{};
    for (int i = 0; i < 7; ++i)
        days[i] = days_[i]->isChecked();
    r.days = days;
    r.monthDay = static_cast<std::uint16_t>(seDay->value());
    r.showAlert = chbMessage->isChecked();
    r.click = chbWithSound->isChecked();
    r.flashTray = CHBAnimation->isChecked();
    r.playSound = CHBSound->isChecked();
    r.soundPath = lbSPath->text().toStdString();
    r.openFile = chbRunProg->isChecked();
    r.openPath = lbPPath->text().toStdString();
    r.message = Memo1->toPlainText().toStdString();
    r.afterStart = rbAfterStart->isChecked();
    r.minutesAfterStart = seMinutes->value();
    r.power = chbSpecial->isChecked();
    r.powerAction = rbShutdown->isChecked() ? PowerAction::PowerOff : PowerAction::Reboot;
    return r;
}

// --- enabling rules ---------------------------------------------------------

int TfNote::CheckedRadioMod() const {
    if (RadioButton1->isChecked())
        return 0;
    if (RadioButton2->isChecked())
        return 1;
    return 2;
}

void TfNote::SetDaysEnabled(int K) {
    if (K < 0 || K > 2)
        return;
    for (QCheckBox* b : days_)
        b->setEnabled(K == 1);
    DE->setEnabled(K == 0);
    GroupBox5->setEnabled(K == 2);
    Label5->setEnabled(K == 2);
    seDay->setEnabled(K == 2);
}

void TfNote::SetMomentsEnabled() {
    const bool schedule = rbSchedule->isChecked();
    GroupBox9->setEnabled(!schedule);
    Label6->setEnabled(!schedule);
    Label7->setEnabled(!schedule);
    seMinutes->setEnabled(!schedule);
    // Enabling the schedule side first lets SetDaysEnabled decide inside it; in
    // after-start mode the frame is disabled last, so nothing in it takes input.
    if (schedule) {
        GroupBox8->setEnabled(true);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 GroupBox2, GroupBox4, RadioButton1, RadioButton2, RadioButton3, Label5, Label1,
                 Label2, Label3, spbUpH, spbDwH, spbUpM, spbDwM})
            w->setEnabled(true);
        for (QCheckBox* b : days_)
            b->setEnabled(true);
    }
    SetDaysEnabled(CheckedRadioMod());
    if (!schedule) {
        for (QWidget* w : std::initializer_list<QWidget*>{
                 GroupBox2, GroupBox4, RadioButton1, RadioButton2, RadioButton3, Label5, Label1,
                 Label2, Label3, spbUpH, spbDwH, spbUpM, spbDwM})
            w->setEnabled(false);
        for (QCheckBox* b : days_)
            b->setEnabled(false);
        GroupBox8->setEnabled(false);
        // A held arrow button stops with the schedule side.
        timer1_->stop();
        BtCounter = 0;
    }
}

// --- commands ---------------------------------------------------------------

void TfNote::btOkClick() {
    if (closing_)
        return;
    if (RadioButton2->isChecked()) {
        bool anyDay = false;
        for (QCheckBox* b : days_)
            anyDay = anyDay || b->isChecked();
        if (!anyDay) {
            // The program may end while the dialog is open, destroying this editor.
            QPointer<TfNote> self(this);
            showInfo(QString::fromStdString(ctx_.texts.noDayMarked), this);
            if (self)
                CheckBox1->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    if (!chbMessage->isChecked() && !CHBSound->isChecked() && !chbRunProg->isChecked() &&
        !CHBAnimation->isChecked() && !chbSpecial->isChecked()) {
        QPointer<TfNote> self(this);
        showInfo(QString::fromStdString(ctx_.texts.noItemMarked), this);
        if (self)
            chbMessage->setFocus(Qt::OtherFocusReason);
        return;
    }
    const SaveResult result = ctx_.data.saveReminder(BuildThing(), ctx_.clock->now().local);
    // Not saved: say why; the user's input stays.
    if (!result.saved) {
        showErrorMessage(QString::fromStdString(result.error));
        return;
    }
    // The row is in the table; a failed file write is reported by the writer and the
    // editor closes all the same, so that "Ok" cannot add the reminder twice.
    if (ctx_.saveTable)
        ctx_.saveTable();
    if (ctx_.tableChanged)
        ctx_.tableChanged();
    close();
}

void TfNote::btCancelClick() {
    close();
}

void TfNote::closeEvent(QCloseEvent* event) {
    closing_ = true;
    timer1_->stop();
    event->accept();
}

// --- keys -------------------------------------------------------------------

bool TfNote::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (auto* b = qobject_cast<QToolButton*>(watched);
        b != nullptr && (b == spbUpH || b == spbDwH || b == spbUpM || b == spbDwM)) {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
            spbUpMMouseDown(b);
        else if (type == QEvent::MouseButtonRelease)
            spbUpMMouseUp(b);
        return false;
    }
    if (type == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w != nullptr && qobject_cast<QLineEdit*>(w) != nullptr &&
                !enterMovesFocus_.contains(w))
                w = w->parentWidget();
            if (QWidget* n = NextInTabOrder(w, true))
                n->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TfNote::TakesTabFocus(QWidget* w) const {
    if (!w->isVisibleTo(this) || !w->isEnabled())
        return false;
    // Of a group of radio buttons only the selected one is reached by Tab. (Qt moves
    // the Tab focus flag within a group to the button focused last; the selection
    // decides here.)
    if (auto* rb = qobject_cast<QRadioButton*>(w))
        return rb->isChecked();
    return (w->focusPolicy() & Qt::TabFocus) != 0;
}

QWidget* TfNote::NextInTabOrder(QWidget* from, bool next) const {
    while (from != nullptr && from != this && !tabOrder_.contains(from))
        from = from->parentWidget();
    const qsizetype n = tabOrder_.size();
    const qsizetype at = from != nullptr ? tabOrder_.indexOf(from) : -1;
    if (at < 0)
        return nullptr;
    for (qsizetype step = 1; step <= n; ++step) {
        const qsizetype i = ((at + (next ? step : -step)) % n + n) % n;
        if (TakesTabFocus(tabOrder_[i]))
            return tabOrder_[i];
    }
    return nullptr;
}

bool TfNote::focusNextPrevChild(bool next) {
    if (QWidget* n = NextInTabOrder(focusWidget(), next)) {
        n->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

// --- time buttons -----------------------------------------------------------

void TfNote::SetTime(int hour, int minute) {
    Label1->setText(TwoDigits(hour));
    Label2->setText(TwoDigits(minute));
}

void TfNote::Step(std::uint16_t number) {
    int hour = Label1->text().toInt();
    int minute = Label2->text().toInt();
    switch (number) {
    case 1:
        minute = minute + 1 == 60 ? 0 : minute + 1;
        break;
    case 2:
        minute = minute - 1 == -1 ? 59 : minute - 1;
        break;
    case 3:
        hour = hour + 1 == 24 ? 0 : hour + 1;
        break;
    case 4:
        hour = hour - 1 == -1 ? 23 : hour - 1;
        break;
    default:
        return;
    }
    SetTime(hour, minute);
}

void TfNote::spbUpMMouseDown(QToolButton* sender) {
    if (sender == nullptr || !sender->isEnabled())
        return;
    if (sender == spbUpM)
        btNumber = 1;
    else if (sender == spbDwM)
        btNumber = 2;
    else if (sender == spbUpH)
        btNumber = 3;
    else if (sender == spbDwH)
        btNumber = 4;
    else
        return;
    if (!timer1_->isActive())
        timer1_->start();
}

void TfNote::spbUpMMouseUp(QToolButton* sender) {
    if (sender == nullptr || !sender->isEnabled())
        return;
    timer1_->stop();
    if (BtCounter < 500)
        Step(btNumber);
    BtCounter = 0;
}

void TfNote::Timer1Timer() {
    BtCounter = static_cast<std::uint16_t>(BtCounter + 100);
    if (BtCounter >= 500)
        Step(btNumber);
}

// --- file buttons -----------------------------------------------------------

void TfNote::ChoosePath(QLabel* label, const QString& startFolder, const QString& filter) {
    // The program may end while the file dialog is open, destroying this editor.
    QPointer<TfNote> self(this);
    const QString path = ChooseFile(this, startFolder, filter);
    if (!self || path.isEmpty())
        return;
    const QString full = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (CodePoints(full) > MaxPathLength) {
        showInfo(QStringLiteral("The path of the chosen file is longer than %1 characters.\n"
                                "Please choose a file with a shorter path.")
                     .arg(MaxPathLength),
                 this);
        return;
    }
    label->setText(full);
}

void TfNote::SpeedButton1Click() {
    if (!SpeedButton1->isEnabled())
        return;
    QString folder = QString::fromStdString(soundsFolder());
    if (!QFileInfo(folder).isDir())
        folder = QString::fromStdString(programFolder());
    ChoosePath(lbSPath, folder, QStringLiteral("WAV Files (*.wav)"));
}

void TfNote::SpeedButton2Click() {
    const QString path = lbSPath->text();
    if (!SpeedButton2->isEnabled() || path.isEmpty() || !QFileInfo(path).isFile())
        return;
    programSoundPlayer().play(path.toStdString());
}

void TfNote::SpeedButton3Click() {
    if (!SpeedButton3->isEnabled())
        return;
    programSoundPlayer().stop();
}

void TfNote::SpeedButton4Click() {
    if (!SpeedButton4->isEnabled())
        return;
    ChoosePath(lbPPath, QString::fromStdString(documentsFolder()), QStringLiteral("All Files (*)"));
}

void TfNote::SpeedButton5Click() {
    const QString path = lbPPath->text();
    if (!SpeedButton5->isEnabled() || path.isEmpty() || !QFileInfo(path).exists())
        return;
    shellOpen(path.toStdString());
}

void TfNote::LimitMessage() {
    const QString text = Memo1->toPlainText();
    if (CodePoints(text) <= MaxMessageLength)
        return;
    // Cut after the 100th character, never inside a surrogate pair.
    qsizetype cut = 0;
    for (int chars = 0; chars < MaxMessageLength && cut < text.size(); ++chars)
        cut += text.at(cut).isHighSurrogate() && cut + 1 < text.size() ? 2 : 1;
    const int pos = Memo1->textCursor().position();
    const QSignalBlocker block(Memo1);
    Memo1->setPlainText(text.left(cut));
    QTextCursor c = Memo1->textCursor();
    c.setPosition(std::min<int>(pos, static_cast<int>(cut)));
    Memo1->setTextCursor(c);
}

// --- lookups and openers ----------------------------------------------------

TfNote* FindEditorForm(std::int32_t N) {
    if (N == -1)
        return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* e = qobject_cast<TfNote*>(w); e != nullptr && !e->Closing() && e->NumOfThing == N)
            return e;
    return nullptr;
}

TfNote* OpenEditorForThing(const Reminder& thing, const EditorContext& ctx) {
    if (TfNote* e = FindEditorForm(thing.number)) {
        if (e->isMinimized())
            e->setWindowState(e->windowState() & ~Qt::WindowMinimized);
        e->show();
        e->raise();
        e->activateWindow();
        return e;
    }
    auto* e = new TfNote(ctx);
    e->SetEditMode(thing.number);
    e->FillFrom(thing);
    e->show();
    return e;
}

TfNote* DoEditThing(std::int32_t number, const EditorContext& ctx) {
    const std::optional<Reminder> thing = ctx.data.reminder(number);
    if (!thing)
        return nullptr;
    return OpenEditorForThing(*thing, ctx);
}

Reminder NewThingDefaults(Moment now) {
    Reminder r;
    const CalendarTime c = calendarTime(now);
    r.moment = makeMoment(c.year, c.month, c.day, c.hour, c.minute);
    r.kind = ScheduleKind::Once;
    r.monthDay = 1;
    r.days = {true, true, true, true, true, false, false};
    r.showAlert = true;
    r.afterStart = false;
    r.minutesAfterStart = 2;
    r.power = false;
    r.powerAction = PowerAction::PowerOff;
    r.isNew = true;
    return r;
}

TfNote* OpenNewEditor(const EditorContext& ctx, const Reminder* copyFrom) {
    auto* e = new TfNote(ctx);
    e->SetNewMode();
    e->FillFrom(copyFrom != nullptr ? *copyFrom : NewThingDefaults(ctx.clock->now().local));
    e->show();
    return e;
}
