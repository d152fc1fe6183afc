#pragma once
// The reminder list page's grid: owner-drawn cells (icons, grey and orange
// texts), keys and double click that ask for the reminder commands, column
// moves undone at once; and the panel around it that shares the width between
// the message and description columns.

#include "ui/main/CellImages.h"
#include "ui/main/ThingsListModel.h"

#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <memory>

// How a cell is drawn: text columns in the grid's colours, grey or orange;
// icon columns with one of the cell pictures or blank.
enum class CellTextColour { Grid, Grey, Orange };
struct CellLook {
    bool text = false;                            // a text column (1 to 3)
    CellTextColour colour = CellTextColour::Grid; // for text columns
    int bitmap = -1;                              // a CellBitmap, -1 for a blank cell
    bool operator==(const CellLook&) const = default;
};

// The drawing decision for one cell; nextTime is the row's calculated DT and
// inFocus tells whether the row is the highlighted one.
CellLook DecideCell(const ReminderRow& row, int column, Moment nextTime, Moment now, bool inFocus);

inline const QColor GreyText{128, 128, 128};
inline const QColor OrangeText{253, 208, 115};

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

// The column fit: growing tells whether the panel became wider, gridWidth is the
// grid's width, otherColumns the sum of the widths of all columns but the two
// shared ones, scrollBar the width of a vertical scroll bar.
SharedWidths FitColumnWidths(bool growing, int gridWidth, int otherColumns, int scrollBar,
                             SharedWidths current);

// The width of the widest "Next time" text in a font.
int NextTimeTextWidth(const QFontMetrics& fm);

class ThingsGrid;

class ThingsCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ThingsCellDelegate(ThingsGrid& grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    ThingsGrid& grid_;
};

class ThingsGrid final : public QTableView {
    Q_OBJECT
public:
    // Column widths as designed, without the grid line.
    static constexpr int DesignWidths[ListColumnCount] = {19, 100, 154, 106, 16,
                                                          16, 16,  16,  16,  16};

    explicit ThingsGrid(ThingsListModel& model, QWidget* parent = nullptr);

    ThingsListModel& Model() const { return model_; }
    // The row is the highlighted one: the grid has the focus and it is current.
    bool Infocus(int row) const;
    // A column's width without its grid line.
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // The cell pictures at the grid's current pixel ratio.
    const TCellImages& CellImages() const;

signals:
    void newThingRequested();    // Insert
    void editThingRequested();   // Enter, double click
    void deleteThingRequested(); // Delete

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void DBGrid1ColumnMoved(int logical, int oldVisual, int newVisual);
    void FollowCursor();
    void UpdateRowHeight();
    // Widens the "Next time" column so that its texts show whole in the grid's font.
    void FitNextTimeColumn();

    ThingsListModel& model_;
    mutable std::unique_ptr<TCellImages> images_;
    bool undoingMove_ = false;
    bool following_ = false;
};

// The panel that holds the grid with a 2-pixel margin and fits the columns
// whenever its width changes.
class ThingsPanel final : public QWidget {
    Q_OBJECT
public:
    explicit ThingsPanel(ThingsListModel& model, QWidget* parent = nullptr);

    ThingsGrid* Grid() const { return DBGrid1; }
    void FitColumns();
    // The first fit, 50 ms later, once the table is loaded.
    void StartTimerResize() { TimerResize.start(); }
    int Panel2WidthOld() const { return panel2WidthOld_; }
    QTimer TimerResize;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitColumnsFor(int panelWidth, int gridWidth);
    void TimerResizeTimer();

    ThingsGrid* DBGrid1;
    int panel2WidthOld_ = 100;
};
