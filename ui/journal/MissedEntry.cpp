#include "ui/journal/MissedEntry.h"
#include "ui_MissedEntry.h"

#include "desktop/RegionalDateTime.h"

#include <QApplication>

#include <algorithm>

MissedEntry::MissedEntry(const MissedOccurrence& missed, QWidget* parent)
    : QFrame(parent), m_ui(std::make_unique<Ui::MissedEntry>()), m_number(missed.number) {
    m_ui->setupUi(this);
    const QString message = QString::fromStdString(missed.message);
    const QString when = RegionalDateTimeText(missed.occurrence);
    m_ui->numberLabel->setText(QString::number(m_number));
    m_ui->timeLabel->setText(when);
    m_ui->messageLabel->setText(message);
    // What a screen reader says for the entry and for its buttons, which look alike in
    // every entry.
    setAccessibleName(QStringLiteral("%1 %2 %3").arg(m_number).arg(when, message));
    m_ui->okButton->setAccessibleDescription(QStringLiteral("Removes this entry from the list"));
    m_ui->editButton->setAccessibleDescription(QStringLiteral("Opens the reminder ") + message);
    setAutoFillBackground(true);
    paint(normalColor());

    connect(m_ui->okButton, &QPushButton::clicked, this, &MissedEntry::dismiss);
    connect(m_ui->editButton, &QPushButton::clicked, this, [this] {
        if (m_number != 0)
            emit editRequested(m_number);
    });
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, &MissedEntry::focusMoved);
}

MissedEntry::~MissedEntry() {
    // The focus leaves the buttons while QWidget's destructor takes them down; by then this
    // is no longer an entry to be repainted.
    disconnect(m_focusWatch);
}

QColor MissedEntry::focusColor() {
    // The desktop's colour of menu bars and window faces.
    return QApplication::palette().color(QPalette::Active, QPalette::Window);
}

QColor MissedEntry::background() const {
    return palette().color(backgroundRole());
}

void MissedEntry::alignColumns(const QList<MissedEntry*>& entries) {
    constexpr int DesignedTimeWidth = 105;
    int numberWidth = 0, timeWidth = DesignedTimeWidth;
    for (const MissedEntry* e : entries) {
        numberWidth = std::max(numberWidth, e->m_ui->numberLabel->sizeHint().width());
        timeWidth = std::max(timeWidth, e->m_ui->timeLabel->sizeHint().width());
    }
    for (MissedEntry* e : entries) {
        e->m_ui->numberLabel->setMinimumWidth(numberWidth);
        e->m_ui->timeLabel->setMinimumWidth(timeWidth);
    }
}

void MissedEntry::paint(const QColor& colour) {
    QPalette p = palette();
    p.setColor(backgroundRole(), colour);
    setPalette(p);
}

bool MissedEntry::holds(const QWidget* widget) const {
    return widget != nullptr && (widget == this || isAncestorOf(widget));
}

void MissedEntry::focusMoved(QWidget* from, QWidget* to) {
    const bool had = holds(from), has = holds(to);
    if (!had && has)
        paint(focusColor());
    else if (had && !has)
        paint(normalColor());
}

void MissedEntry::enterEvent(QEnterEvent* event) {
    QFrame::enterEvent(event);
    paint(hoverColor());
}

void MissedEntry::leaveEvent(QEvent* event) {
    QFrame::leaveEvent(event);
    // Moving between the entry's own labels and buttons does not leave it.
    paint(holds(QApplication::focusWidget()) ? focusColor() : normalColor());
}

void MissedEntry::dismiss() {
    // The entries below move up at once; the button is deleted only after its click.
    hide();
    emit dismissed();
    deleteLater();
}
