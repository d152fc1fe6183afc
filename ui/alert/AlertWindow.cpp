#include "ui/alert/AlertWindow.h"
#include "ui_AlertWindow.h"

#include "ui/controls/ColorScheme.h"
#include "ui/controls/ScreenBound.h"
#include "ui/controls/SectionText.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLocale>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace {

// The alert's message in bold type, larger than the window's own.
constexpr int MessagePixelSize = 16;

// Screen readers treat the window as an alert rather than a plain frame.
QAccessibleInterface* alertAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("AlertWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
    return nullptr;
}

void installAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(alertAccessibleFactory);
        return true;
    }();
    (void)installed;
}

} // namespace

AlertWindow::AlertWindow(const LanguageSection<AlertLine>& lines)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::AlertWindow>()), m_postponeTimer(new QTimer(this)),
      m_guardTimer(new QTimer(this)),
      m_screenBound(new ScreenBound(this, [this](QSize room) { fitToContents(room); })) {
    installAccessibleFactory();
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(ColorScheme::font());
    m_ui->setupUi(this);
    QFont messageFont = ColorScheme::font(MessagePixelSize);
    messageFont.setBold(true);
    m_ui->messageLabel->setFont(messageFont);

    // The scheme colour on the window, its buttons and the postpone row; the message
    // panel stays white.
    ColorScheme::fill(m_ui->messagePanel, palette().color(QPalette::Light));
    ColorScheme::applyColorScheme(this);
    if (ColorScheme::inUse())
        ColorScheme::fill(m_ui->postponePanel, ColorScheme::schemeColor());

    const std::pair<QToolButton*, int> postponeButtons[] = {
        {m_ui->postpone1Button, 1},   {m_ui->postpone5Button, 5},   {m_ui->postpone10Button, 10},
        {m_ui->postpone15Button, 15}, {m_ui->postpone20Button, 20}, {m_ui->postpone30Button, 30},
        {m_ui->postpone60Button, 60}};
    for (const auto& [button, minutes] : postponeButtons)
        connect(button, &QToolButton::clicked, this, [this, m = minutes] { postpone(m); });
    connect(m_ui->okButton, &QPushButton::clicked, this, &AlertWindow::acknowledge);
    connect(m_ui->editButton, &QPushButton::clicked, this, &AlertWindow::requestEdit);

    m_postponeTimer->setObjectName(QStringLiteral("postponeTimer"));
    m_postponeTimer->setInterval(PostponeTickMs);
    connect(m_postponeTimer, &QTimer::timeout, this, &AlertWindow::countdownTick);
    m_guardTimer->setObjectName(QStringLiteral("guardTimer"));
    m_guardTimer->setInterval(GuardMs);
    connect(m_guardTimer, &QTimer::timeout, this, &AlertWindow::guardElapsed);

    loadTexts(lines);
}

AlertWindow::~AlertWindow() = default;

void AlertWindow::loadTexts(const LanguageSection<AlertLine>& lines) {
    withLine(lines, AlertLine::MoveBy, [this](const QString& t) {
        m_ui->moveByLabel->setText(QLatin1Char(' ') + t + QLatin1Char(' '));
    });
    setTextFromLine(lines, AlertLine::Minutes, m_ui->minutesLabel);
    setTextFromLine(lines, AlertLine::Ok, m_ui->okButton);
    setTextFromLine(lines, AlertLine::Edit, m_ui->editButton);
    const QString moveBy = m_ui->moveByLabel->text().trimmed();
    const QString minutes = m_ui->minutesLabel->text().trimmed();
    m_ui->moveByLabel->setAccessibleName(moveBy);
    m_ui->minutesLabel->setAccessibleName(minutes);
    m_ui->okButton->setAccessibleName(m_ui->okButton->text());
    m_ui->editButton->setAccessibleName(m_ui->editButton->text());
    m_ui->postponePanel->setAccessibleName(moveBy);
    for (QToolButton* b : m_ui->postponePanel->findChildren<QToolButton*>()) {
        const QString hint = moveBy + QLatin1Char(' ') + b->text() + QLatin1Char(' ') + minutes;
        b->setToolTip(hint);
        b->setAccessibleName(hint);
    }
    m_screenBound->refit();
}

QString AlertWindow::okText() const {
    return m_ui->okButton->text();
}

QString AlertWindow::alertText() const {
    return m_ui->messageLabel->text();
}

void AlertWindow::setCaption(const QString& text) {
    setWindowTitle(text);
    setAccessibleName(text);
    m_ui->messagePanel->setAccessibleName(text);
}

void AlertWindow::setAlertText(const QString& text) {
    m_ui->messageLabel->setText(text);
    m_ui->messageLabel->setAccessibleName(text);
    m_screenBound->refit();
}

void AlertWindow::fitToContents(QSize room) {
    // The panels' layouts are brought up to date at once, not when their posted
    // layout requests arrive, so that the window's layout sees what they need now.
    for (QWidget* panel : {m_ui->messagePanel, m_ui->postponePanel}) {
        panel->layout()->invalidate();
        panel->updateGeometry();
    }
    QLayout* l = layout();
    l->invalidate();
    // The message wraps to the width the rest needs; only a height beyond the screen's
    // would cut it.
    QSize size = DesignedSize.expandedTo(l->totalMinimumSize()).boundedTo(room);
    if (l->hasHeightForWidth())
        size.setHeight(std::max(size.height(), l->totalHeightForWidth(size.width())));
    // A fixed frame: the user does not resize the window.
    setFixedSize(size.boundedTo(room));
}

void AlertWindow::bringForward() {
    show();
    raise();
    // The window takes the focus (on "Ok", see showEvent), so that a screen reader reads
    // it; the guard time keeps a key meant for the window before from acting on it.
    activateWindow();
    announce();
    emit presented();
}

void AlertWindow::announce() {
    QAccessibleEvent event(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
    // A native Wayland window cannot stay above the window the user works in: it asks the
    // compositor for the user's attention instead (later Qt versions ask through
    // xdg-activation; Qt 6.4's Wayland plugin does nothing with the request).
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        QApplication::alert(this);
}

void AlertWindow::acknowledge() {
    if (m_buttonsArmed)
        close();
}

void AlertWindow::requestEdit() {
    if (!m_buttonsArmed || m_number == 0)
        return;
    emit editRequested(m_number);
}

void AlertWindow::postpone(int minutes) {
    if (minutes <= 0)
        return;
    m_countdown = minutes * 60;
    m_postponeTimer->start();
    m_buttonsArmed = false;
    hide();
    emit postponed();
}

void AlertWindow::answer() {
    close();
}

void AlertWindow::countdownTick() {
    --m_countdown;
    if (m_countdown > 0)
        return;
    m_countdown = 0;
    m_postponeTimer->stop();
    m_guardTimer->start();
    bringForward();
}

void AlertWindow::guardElapsed() {
    m_guardTimer->stop();
    m_buttonsArmed = true;
}

void AlertWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_ui->okButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AlertWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_ui->okButton->setFocus();
}

void AlertWindow::closeEvent(QCloseEvent* event) {
    // Whatever closes the window destroys it, timers included; until it is gone it
    // is no longer found for a new alert.
    m_postponeTimer->stop();
    m_guardTimer->stop();
    m_closing = true;
    event->accept();
    emit answered(m_number);
}

QString AlertWindow::momentText(Moment t) {
    const CalendarTime c = calendarTime(t);
    const QDateTime dt(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second));
    return QLocale().toString(dt, QLocale::ShortFormat);
}

AlertWindow* AlertWindow::showAlert(const QString& message, std::int32_t number, Moment now,
                                    const LanguageSection<AlertLine>& lines) {
    const QString when = momentText(now);
    if (AlertWindow* w = WindowList<AlertWindow>::find(number)) {
        // A new alert for an open window: only its caption and text change.
        if (w->isMinimized())
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->setCaption(message);
        w->setAlertText(QStringLiteral("re:\n") + when + QLatin1Char('\n') + message);
        w->setAccessibleDescription(when);
        w->bringForward();
        return w;
    }
    auto* w = new AlertWindow(lines);
    w->setCaption(message);
    w->m_number = number;
    w->m_guardTimer->start();
    w->setAlertText(when + QLatin1Char('\n') + message);
    w->setAccessibleDescription(when);
    w->bringForward();
    return w;
}
