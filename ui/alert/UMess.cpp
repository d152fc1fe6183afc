#include "ui/alert/UMess.h"

#include "ui/controls/ColorScheme.h"
#include "ui/dialogs/ErrorMessage.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <exception>

namespace {

// The warm grey of the window and the postpone row (red 209, green 208, blue 203).
const QColor AlertSchemeColour(209, 208, 203);

constexpr int PostponeMinutes[] = {1, 5, 10, 15, 20, 30, 60};

// Screen readers treat the window as an alert rather than a plain frame.
QAccessibleInterface* AlertAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TFMess") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
    return nullptr;
}

void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(AlertAccessibleFactory);
        return true;
    }();
    (void)installed;
}

void Fill(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace

TFMess::TFMess()
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      timer1_(new QTimer(this)), tmButtons_(new QTimer(this)) {
    InstallAccessibleFactory();
    setObjectName(QStringLiteral("FMess"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(ColorScheme::font());
    setFixedSize(388, 273);

    // Buttons first, so that the tab order is Ok, Edit...
    btOk = new QPushButton(this);
    btOk->setObjectName(QStringLiteral("btOk"));
    btOk->setGeometry(8, 240, 75, 25);
    btOk->setAutoDefault(true);
    btEdit = new QPushButton(this);
    btEdit->setObjectName(QStringLiteral("btEdit"));
    btEdit->setGeometry(89, 240, 75, 25);
    btEdit->setAutoDefault(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 369, 185);
    Label2 = new QLabel(Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(10, 10, 369 - 20, 185 - 20);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setWordWrap(true);
    QFont big = Label2->font();
    big.setBold(true);
    big.setPixelSize(16);
    Label2->setFont(big);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(8, 199, 369, 34);
    Label3 = new QLabel(Panel2);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->move(2, 11);
    static const char* const names[] = {"SpeedButton6", "SpeedButton1", "SpeedButton2",
                                        "SpeedButton3", "SpeedButton7", "SpeedButton4",
                                        "SpeedButton5"};
    for (int i = 0; i < 7; ++i) {
        auto* b = new QToolButton(Panel2);
        b->setObjectName(QLatin1String(names[i]));
        b->setGeometry(127 + 27 * i, 6, 23, 22);
        b->setText(QString::number(PostponeMinutes[i]));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, b] { SpeedButton1Click(b); });
        postpone_[i] = b;
    }
    Label1 = new QLabel(Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(321, 11);

    // Every Linux desktop counts as a newer one, so the window takes the colour
    // scheme; the message panel stays white.
    Fill(this, AlertSchemeColour);
    {
        QPalette p = palette();
        p.setColor(QPalette::Button, AlertSchemeColour);
        setPalette(p);
    }
    Fill(Panel2, AlertSchemeColour);
    Fill(Panel1, palette().color(QPalette::Light));

    timer1_->setInterval(PostponeTickMs);
    connect(timer1_, &QTimer::timeout, this, &TFMess::Timer1Timer);
    tmButtons_->setInterval(GuardMs);
    connect(tmButtons_, &QTimer::timeout, this, &TFMess::tmButtonsTimer);

    connect(btOk, &QPushButton::clicked, this, &TFMess::btOkClick);
    connect(btEdit, &QPushButton::clicked, this, &TFMess::btEditClick);

    LoadAlertTexts();
}

void TFMess::LoadAlertTexts() {
    const QString moveBy = QStringLiteral("Move by");
    const QString minutes = QStringLiteral("minutes");
    Label3->setText(QLatin1Char(' ') + moveBy + QLatin1Char(' '));
    Label3->adjustSize();
    Label1->setText(minutes);
    Label1->adjustSize();
    btOk->setText(QStringLiteral("Ok"));
    btEdit->setText(QStringLiteral("Edit..."));

    Label3->setAccessibleName(moveBy);
    Label1->setAccessibleName(minutes);
    btOk->setAccessibleName(btOk->text());
    btEdit->setAccessibleName(btEdit->text());
    Panel2->setAccessibleName(moveBy);
    for (QToolButton* b : postpone_) {
        const QString hint = moveBy + QLatin1Char(' ') + b->text() + QLatin1Char(' ') + minutes;
        b->setToolTip(hint);
        b->setAccessibleName(hint);
    }
}

QString TFMess::AlertText() const {
    return Label2->text();
}

void TFMess::SetCaption(const QString& text) {
    setWindowTitle(text);
    setAccessibleName(text);
    Panel1->setAccessibleName(text);
}

void TFMess::SetAlertText(const QString& text) {
    Label2->setText(text);
    Label2->setAccessibleName(text);
}

void TFMess::Announce() {
    QAccessibleEvent event(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

void TFMess::btOkClick() {
    if (buttonEnabled_)
        close();
}

void TFMess::btEditClick() {
    if (!buttonEnabled_ || numOfThing_ == 0)
        return;
    emit editRequested(numOfThing_);
}

void TFMess::SpeedButton1Click(QObject* sender) {
    // Only the postpone buttons carry a postponement; anything else does nothing.
    int minutes = 0;
    for (int i = 0; i < 7; ++i)
        if (sender == postpone_[i])
            minutes = PostponeMinutes[i];
    if (minutes == 0)
        return;
    countdown_ = minutes * 60;
    timer1_->start();
    buttonEnabled_ = false;
    hide();
}

void TFMess::Timer1Timer() {
    --countdown_;
    if (countdown_ > 0)
        return;
    countdown_ = 0;
    timer1_->stop();
    show();
    raise();
    tmButtons_->start();
    Announce();
}

void TFMess::tmButtonsTimer() {
    tmButtons_->stop();
    buttonEnabled_ = true;
}

void TFMess::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btOk->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFMess::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    btOk->setFocus();
}

void TFMess::closeEvent(QCloseEvent* event) {
    // Whatever closes the window destroys it, timers included.
    timer1_->stop();
    tmButtons_->stop();
    closing_ = true;
    event->accept();
}

QString AlertMomentText(Moment t) {
    const CalendarTime c = calendarTime(t);
    const QDateTime dt(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second));
    return QLocale().toString(dt, QLocale::ShortFormat);
}

TFMess* FindAlertForm(std::int32_t N) {
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets)
        if (auto* f = qobject_cast<TFMess*>(w); f && !f->closing_ && f->numOfThing_ == N)
            return f;
    return nullptr;
}

TFMess* ShowAlertWindow(const QString& text, std::int32_t number, Moment now) {
    const QString when = AlertMomentText(now);
    if (TFMess* f = FindAlertForm(number)) {
        // A new alert for an open window: only its caption and text change.
        if (f->isMinimized())
            f->setWindowState(f->windowState() & ~Qt::WindowMinimized);
        f->SetCaption(text);
        f->SetAlertText(QStringLiteral("re:\n") + when + QLatin1Char('\n') + text);
        f->show();
        f->raise();
        f->Announce();
        return f;
    }
    try {
        auto* f = new TFMess();
        f->SetCaption(text);
        f->numOfThing_ = number;
        f->tmButtons_->start();
        f->SetAlertText(when + QLatin1Char('\n') + text);
        f->show();
        f->Announce();
        return f;
    } catch (const std::exception& e) {
        showErrorMessage(QString::fromUtf8(e.what()));
        return nullptr;
    }
}
