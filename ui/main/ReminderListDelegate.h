#pragma once
// Draws the reminder list's cells: texts in the list's colours, grey for
// reminders past or after start (orange on the highlighted row), and the cell
// pictures of what a reminder does.

#include <QStyledItemDelegate>

class ReminderListView;

class ReminderListDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ReminderListDelegate(ReminderListView& view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    ReminderListView& m_view;
};
