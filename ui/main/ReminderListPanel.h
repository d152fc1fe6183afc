#pragma once
// The panel around the reminder list: holds it with a 2-pixel margin and shares
// the width between the message and description columns whenever its width
// changes.

#include <QTimer>
#include <QWidget>

class ReminderListView;

// Widths of the two shared columns.
struct SharedWidths {
    int message = 0;
    int description = 0;
    bool operator==(const SharedWidths&) const = default;
};
constexpr int MessageMinWidth = 100;
constexpr int DescriptionMaxWidth = 295;
// The least width a fitted column gets when the other columns leave no room.
constexpr int FittedWidthFloor = 20;

// The column fit: growing tells whether the panel became wider, listWidth is the
// list's width, otherColumns the sum of the widths of all columns but the two
// shared ones, scrollBar the width of a vertical scroll bar.
SharedWidths fitColumnWidths(bool growing, int listWidth, int otherColumns, int scrollBar,
                             SharedWidths current);

class ReminderListPanel final : public QWidget {
    Q_OBJECT
public:
    explicit ReminderListPanel(QWidget* parent = nullptr);

    ReminderListView* listView() const { return m_listView; }
    void fitColumns();
    // The first fit, 50 ms later, once the reminders are loaded.
    void startFirstFit() { m_firstFitTimer.start(); }
    bool firstFitPending() const { return m_firstFitTimer.isActive(); }
    // The panel width the columns were last fitted to.
    int fittedWidth() const { return m_fittedWidth; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitColumnsFor(int panelWidth, int listWidth);
    void firstFit();

    ReminderListView* m_listView;
    QTimer m_firstFitTimer;
    int m_fittedWidth = 100;
};
