#include "ui/controls/FlatToolButton.h"

#include <QStyle>
#include <QStyleOptionToolButton>

FlatToolButton::FlatToolButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
}

QSize FlatToolButton::sizeHint() const {
    if (!icon().isNull() || arrowType() != Qt::NoArrow || text().isEmpty())
        return QToolButton::sizeHint();
    ensurePolished();
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    return style()->sizeFromContents(QStyle::CT_ToolButton, &option, caption, this);
}

QSize FlatToolButton::minimumSizeHint() const {
    return sizeHint();
}
