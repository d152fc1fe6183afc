#include "ui/main/ReminderListDelegate.h"

#include "ui/main/ReminderListView.h"

#include <QPainter>

ReminderListDelegate::ReminderListDelegate(ReminderListView& view)
    : QStyledItemDelegate(&view), m_view(view) {
}

void ReminderListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const ReminderListModel* model = m_view.reminderModel();
    const bool highlighted = m_view.isHighlighted(index.row());
    const QPalette& pal = m_view.palette();
    painter->save();
    painter->setClipRect(option.rect);
    // Blank the cell with the row's background first.
    painter->fillRect(option.rect, highlighted ? pal.color(QPalette::Active, QPalette::Highlight)
                                               : pal.color(QPalette::Base));
    if (const ReminderRow* row = model ? model->rowAt(index.row()) : nullptr) {
        const int column = index.column();
        const bool textColumn = column >= MessageColumn && column <= NextTimeColumn;
        const Moment next = textColumn ? model->nextTimeAt(index.row()) : DayCountEpoch;
        const CellLook look = decideCell(*row, column, next, model->now(), highlighted);
        if (look.text) {
            QColor ink = highlighted ? pal.color(QPalette::Active, QPalette::HighlightedText)
                                     : pal.color(QPalette::Text);
            if (look.colour == CellTextColour::Grey)
                ink = GreyText;
            else if (look.colour == CellTextColour::Orange)
                ink = OrangeText;
            painter->setPen(ink);
            painter->setFont(option.font);
            painter->drawText(option.rect.adjusted(2, 2, 0, 0),
                              Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                              index.data(Qt::DisplayRole).toString());
        } else if (look.picture) {
            const QPixmap& pm = m_view.cellImages().picture(*look.picture, look.light);
            if (!pm.isNull())
                painter->drawPixmap(option.rect.topLeft(), pm);
        }
    }
    painter->restore();
}
