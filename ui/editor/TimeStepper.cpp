#include "ui/editor/TimeStepper.h"

#include "ui/controls/FlatToolButton.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace {

// The designed sizes: 24 px numbers in 44 x 44 boxes, 22 x 20 arrows, at an 11 px font.
constexpr double DigitScale = 24.0 / 11.0;
constexpr QSize NumberBox(44, 44);
constexpr QSize ColonBox(14, 44);
constexpr QSize ArrowBox(22, 20);
constexpr QSize ArrowIcon(14, 13);

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

TimeStepper::TimeStepper(QWidget* parent)
    : QWidget(parent), m_hourLabel(new QLabel(this)), m_colonLabel(new QLabel(this)),
      m_minuteLabel(new QLabel(this)),
      m_hourUpButton(makeArrow("hourUpButton", Qt::UpArrow, QStringLiteral("Hour up (Alt+Up)"))),
      m_hourDownButton(
          makeArrow("hourDownButton", Qt::DownArrow, QStringLiteral("Hour down (Alt+Down)"))),
      m_minuteUpButton(
          makeArrow("minuteUpButton", Qt::UpArrow, QStringLiteral("Minute up (Alt+Shift+Up)"))),
      m_minuteDownButton(makeArrow("minuteDownButton", Qt::DownArrow,
                                   QStringLiteral("Minute down (Alt+Shift+Down)"))),
      m_repeatTimer(new QTimer(this)) {
    m_hourLabel->setObjectName(QStringLiteral("hourLabel"));
    m_colonLabel->setObjectName(QStringLiteral("colonLabel"));
    m_minuteLabel->setObjectName(QStringLiteral("minuteLabel"));
    m_colonLabel->setText(QStringLiteral(":"));
    for (QLabel* label : {m_hourLabel, m_colonLabel, m_minuteLabel}) {
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumSize(label == m_colonLabel ? ColonBox : NumberBox);
    }

    const auto arrows = [](QToolButton* up, QToolButton* down) {
        auto* column = new QVBoxLayout;
        column->setSpacing(1);
        column->addWidget(up);
        column->addWidget(down);
        return column;
    };
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addLayout(arrows(m_hourUpButton, m_hourDownButton));
    row->addSpacing(4);
    row->addWidget(m_hourLabel);
    row->addWidget(m_colonLabel);
    row->addWidget(m_minuteLabel);
    row->addSpacing(4);
    row->addLayout(arrows(m_minuteUpButton, m_minuteDownButton));

    m_repeatTimer->setObjectName(QStringLiteral("repeatTimer"));
    m_repeatTimer->setInterval(RepeatInterval);
    connect(m_repeatTimer, &QTimer::timeout, this, &TimeStepper::repeat);

    // One step per key press, wherever the focus is in the window.
    const auto key = [this](QKeyCombination keys, Step s) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, [this, s] {
            if (isEnabled())
                step(s);
        });
    };
    key(Qt::ALT | Qt::Key_Up, Step::HourUp);
    key(Qt::ALT | Qt::Key_Down, Step::HourDown);
    key(Qt::ALT | Qt::SHIFT | Qt::Key_Up, Step::MinuteUp);
    key(Qt::ALT | Qt::SHIFT | Qt::Key_Down, Step::MinuteDown);

    fitDigitFont();
    showValue();
}

TimeStepper::~TimeStepper() = default;

QToolButton* TimeStepper::makeArrow(const char* name, Qt::ArrowType arrow, const QString& hint) {
    auto* button = new FlatToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(arrow);
    // The arrows never take the focus: the keyboard has its own keys for them.
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(ArrowIcon);
    button->setMinimumSize(ArrowBox);
    button->setToolTip(hint);
    // Named by the hint without its keys.
    button->setAccessibleName(hint.left(hint.indexOf(QLatin1String(" ("))));
    button->installEventFilter(this);
    return button;
}

void TimeStepper::setValue(QTime time) {
    if (!time.isValid() || (time.hour() == m_hour && time.minute() == m_minute))
        return;
    m_hour = time.hour();
    m_minute = time.minute();
    showValue();
    emit valueChanged(value());
}

void TimeStepper::setDigitsDescription(const QString& description) {
    m_hourLabel->setAccessibleDescription(description);
    m_minuteLabel->setAccessibleDescription(description);
}

void TimeStepper::showValue() {
    m_hourLabel->setText(twoDigits(m_hour));
    m_minuteLabel->setText(twoDigits(m_minute));
}

void TimeStepper::step(Step s) {
    switch (s) {
    case Step::MinuteUp:
        m_minute = (m_minute + 1) % 60;
        break;
    case Step::MinuteDown:
        m_minute = (m_minute + 59) % 60;
        break;
    case Step::HourUp:
        m_hour = (m_hour + 1) % 24;
        break;
    case Step::HourDown:
        m_hour = (m_hour + 23) % 24;
        break;
    }
    showValue();
    emit valueChanged(value());
}

// A press starts the repeat timer; a release before RepeatDelay steps once, a longer
// hold has stepped on the timer's ticks and adds no step on release.
void TimeStepper::press(Step s) {
    m_step = s;
    if (!m_repeatTimer->isActive())
        m_repeatTimer->start();
}

void TimeStepper::release() {
    m_repeatTimer->stop();
    if (m_heldMs < RepeatDelay)
        step(m_step);
    m_heldMs = 0;
}

void TimeStepper::repeat() {
    m_heldMs = static_cast<std::uint16_t>(m_heldMs + RepeatInterval);
    if (m_heldMs >= RepeatDelay)
        step(m_step);
}

void TimeStepper::stopRepeating() {
    m_repeatTimer->stop();
    m_heldMs = 0;
}

bool TimeStepper::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QToolButton*>(watched);
    if (button == nullptr || !button->isEnabled())
        return QWidget::eventFilter(watched, event);
    // Any mouse button steps; the arrow still draws its pressed look for the left one.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (button == m_minuteUpButton)
            press(Step::MinuteUp);
        else if (button == m_minuteDownButton)
            press(Step::MinuteDown);
        else if (button == m_hourUpButton)
            press(Step::HourUp);
        else if (button == m_hourDownButton)
            press(Step::HourDown);
        break;
    case QEvent::MouseButtonRelease:
        release();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TimeStepper::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        fitDigitFont();
    else if (event->type() == QEvent::EnabledChange && !isEnabled())
        stopRepeating(); // a held arrow stops with the stepper
    QWidget::changeEvent(event);
}

void TimeStepper::hideEvent(QHideEvent* event) {
    stopRepeating();
    QWidget::hideEvent(event);
}

void TimeStepper::fitDigitFont() {
    QFont digits = font();
    if (digits.pixelSize() > 0)
        digits.setPixelSize(static_cast<int>(std::lround(digits.pixelSize() * DigitScale)));
    else
        digits.setPointSizeF(digits.pointSizeF() * DigitScale);
    for (QLabel* label : {m_hourLabel, m_colonLabel, m_minuteLabel})
        label->setFont(digits);
}
