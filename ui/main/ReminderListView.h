#pragma once
// The reminder list: owner-drawn cells, keys and double click that ask for the
// reminder commands, column moves undone at once. The view owns the current row:
// the commands act on the reminder it shows current, which stays current while
// the list is read again, and a reminder just added becomes current.

#include "core/Moment.h"
#include "ui/main/CellImages.h"
#include "ui/main/ReminderListModel.h"

#include <QTableView>

#include <cstdint>
#include <memory>
#include <optional>

// How a cell is drawn: text columns in the list's colours, grey or orange;
// picture columns with one of the cell pictures or blank.
enum class CellTextColour { List, Grey, Orange };
struct CellLook {
    bool text = false;                            // a text column
    CellTextColour colour = CellTextColour::List; // for text columns
    std::optional<CellPicture> picture;           // none for a blank cell
    bool light = false;                           // the picture's light form
    bool operator==(const CellLook&) const = default;
};

// The drawing decision for one cell; nextTime is the row's computed next time and
// highlighted tells whether the row is the highlighted one.
CellLook decideCell(const ReminderRow& row, int column, Moment nextTime, Moment now,
                    bool highlighted);

inline const QColor GreyText{128, 128, 128};
inline const QColor OrangeText{253, 208, 115};

// The width of the widest "Next time" text in a font.
int nextTimeTextWidth(const QFontMetrics& fm);

class ReminderListView final : public QTableView {
    Q_OBJECT
public:
    // Column widths as designed, without the grid line.
    static constexpr int DesignWidths[ListColumnCount] = {19, 100, 154, 106, 16,
                                                          16, 16,  16,  16,  16};

    explicit ReminderListView(QWidget* parent = nullptr);

    // The model to show; the view does not take it over.
    void setReminderModel(ReminderListModel* model);
    // The clock whose moment the computed columns are drawn for, read once per paint;
    // it must outlive the view.
    void setClock(const Clock* clock) { m_clock = clock; }
    ReminderListModel* reminderModel() const { return m_model; }

    // The number of the reminder on the current row; none without one.
    std::optional<std::int32_t> currentNumber() const;
    // Makes the reminder with that number current; false when it is not listed.
    bool setCurrentNumber(std::int32_t number);

    // The row is the highlighted one: the view has the focus and the row is current.
    bool isHighlighted(int row) const;
    // A column's width without its grid line.
    int cellWidth(int column) const;
    void setCellWidth(int column, int width);
    // The cell pictures at the view's current pixel ratio.
    const CellImages& cellImages() const;

signals:
    void newReminderRequested(); // Insert
    void editRequested();        // Enter, double click
    void deleteRequested();      // Delete
    // Another row (or none) became current.
    void currentReminderChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void undoColumnMove(int logical, int oldVisual, int newVisual);
    void rememberCurrent();
    void restoreCurrent();
    void makeCurrent(int row);
    void updateRowHeight();
    // Widens the "Next time" column so that its texts show whole in the view's font.
    void fitNextTimeColumn();

    ReminderListModel* m_model = nullptr;
    const Clock* m_clock = nullptr;
    mutable std::unique_ptr<CellImages> m_images;
    // The current reminder and its row while the model is read again.
    std::optional<std::int32_t> m_keptNumber;
    int m_keptRow = -1;
    bool m_undoingMove = false;
};
