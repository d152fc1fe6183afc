#include "ui/editor/HeadedFrame.h"

#include <QAbstractButton>
#include <QEvent>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

HeadedFrame::HeadedFrame(QWidget* parent) : QGroupBox(parent) {
    setContentsMargins(0, 0, 0, 0);
}

void HeadedFrame::setHead(QAbstractButton* head) {
    m_head = head;
    // The head covers the frame line behind its text.
    head->setAutoFillBackground(true);
    update();
}

void HeadedFrame::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    // The group box sets margins for a caption this frame does not draw.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        setContentsMargins(0, 0, 0, 0);
}

void HeadedFrame::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.text.clear();
    option.subControls = QStyle::SC_GroupBoxFrame;
    if (m_head != nullptr) {
        // Move the frame down so that its top line runs through the head's middle.
        const QRect frame =
            style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
        const int lineOffset = frame.top() - option.rect.top();
        option.rect.setTop(m_head->geometry().center().y() - lineOffset);
    }
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}
