#include "ui/alert/MessageLabel.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// The widest a line is laid out when no width is given: the line breaks in the text
// decide alone.
constexpr int Unbounded = 1 << 20;

} // namespace

MessageLabel::MessageLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
}

QSize MessageLabel::extra() const {
    const QRect inner =
        contentsRect().marginsRemoved(QMargins(margin(), margin(), margin(), margin()));
    return size() - inner.size();
}

int MessageLabel::layOut(QTextLayout& layout, int width) const {
    QString text = this->text();
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    layout.setText(text);
    layout.setFont(font());
    QTextOption option(QStyle::visualAlignment(layoutDirection(), alignment()));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(layoutDirection());
    layout.setTextOption(option);
    const qreal leading = fontMetrics().leading();
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        y += leading > 0 && line.lineNumber() > 0 ? leading : 0;
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return static_cast<int>(std::ceil(y));
}

int MessageLabel::heightForWidth(int width) const {
    QTextLayout layout;
    const QSize around = extra();
    return layOut(layout, std::max(1, width - around.width())) + around.height();
}

QSize MessageLabel::sizeHint() const {
    // As wide as the longest line, but no wider than 80 average characters.
    QTextLayout layout;
    layOut(layout, Unbounded);
    const int natural = static_cast<int>(std::ceil(layout.maximumWidth()));
    const int width = std::min(natural, fontMetrics().averageCharWidth() * 80) + extra().width();
    return {width, heightForWidth(width)};
}

QSize MessageLabel::minimumSizeHint() const {
    // A line of a single character, and the lines the text's own breaks make.
    QTextLayout layout;
    const QSize around = extra();
    const int width = fontMetrics().horizontalAdvance(QLatin1Char('W')) + around.width();
    return {width, layOut(layout, Unbounded) + around.height()};
}

void MessageLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRect inner =
        contentsRect().marginsRemoved(QMargins(margin(), margin(), margin(), margin()));
    QTextLayout layout;
    layOut(layout, inner.width());
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.setClipRect(inner);
    layout.draw(&painter, inner.topLeft());
}
