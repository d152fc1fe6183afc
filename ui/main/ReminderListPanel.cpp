#include "ui/main/ReminderListPanel.h"

#include "ui/main/ReminderListModel.h"
#include "ui/main/ReminderListView.h"

#include <QResizeEvent>
#include <QVBoxLayout>
#include <algorithm>

SharedWidths fitColumnWidths(bool growing, int listWidth, int otherColumns, int scrollBar,
                             SharedWidths w) {
    const int G = listWidth, F = otherColumns, S2 = 2 * scrollBar;
    if (F + DescriptionMaxWidth + MessageMinWidth + S2 < G)
        w.description = DescriptionMaxWidth;
    else
        w.message = MessageMinWidth;
    if (growing) {
        if (w.description >= DescriptionMaxWidth) {
            w.description = DescriptionMaxWidth;
            w.message = std::max(G - (F + DescriptionMaxWidth + S2), FittedWidthFloor);
        } else {
            w.message = MessageMinWidth;
            w.description = std::max(std::min(G - (F + MessageMinWidth + S2), DescriptionMaxWidth),
                                     FittedWidthFloor);
        }
    } else {
        if (w.message <= MessageMinWidth) {
            w.message = MessageMinWidth;
            w.description = std::max(G - (F + MessageMinWidth + S2), FittedWidthFloor);
        } else {
            w.description = DescriptionMaxWidth;
            w.message = std::max(G - (F + DescriptionMaxWidth + S2), MessageMinWidth);
        }
    }
    return w;
}

ReminderListPanel::ReminderListPanel(QWidget* parent)
    : QWidget(parent), m_listView(new ReminderListView(this)) {
    m_listView->setObjectName(QStringLiteral("listView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(m_listView);
    m_firstFitTimer.setSingleShot(true);
    m_firstFitTimer.setInterval(50);
    connect(&m_firstFitTimer, &QTimer::timeout, this, &ReminderListPanel::firstFit);
}

void ReminderListPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The layout has already placed the list: its width is the new one.
    if (width() != m_fittedWidth)
        fitColumns();
}

void ReminderListPanel::fitColumns() {
    layout()->activate();
    fitColumnsFor(width(), m_listView->width());
}

void ReminderListPanel::fitColumnsFor(int panelWidth, int listWidth) {
    const bool growing = panelWidth > m_fittedWidth;
    m_fittedWidth = panelWidth;
    if (m_listView->model() == nullptr)
        return;
    int others = 0;
    for (int c = 0; c < ListColumnCount; ++c)
        if (c != MessageColumn && c != DescriptionColumn)
            others += m_listView->cellWidth(c);
    const int scrollBar =
        m_listView->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_listView);
    const SharedWidths now{m_listView->cellWidth(MessageColumn),
                           m_listView->cellWidth(DescriptionColumn)};
    const SharedWidths fit = fitColumnWidths(growing, listWidth, others, scrollBar, now);
    if (fit.message != now.message)
        m_listView->setCellWidth(MessageColumn, fit.message);
    if (fit.description != now.description)
        m_listView->setCellWidth(DescriptionColumn, fit.description);
}

void ReminderListPanel::firstFit() {
    // One pixel wider and back, as a window resize would: the list gets its
    // description column first, then the message column the rest.
    fitColumnsFor(width() + 1, m_listView->width() + 1);
    fitColumnsFor(width(), m_listView->width());
}
