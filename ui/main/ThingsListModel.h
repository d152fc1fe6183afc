#pragma once
// The reminder list as a table model: the rows of cdsThings in message order,
// with the stored columns the grid shows and the two calculated ones (next time
// and schedule text), computed against a moment the main window sets.

#include "uDataModule.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>

// The grid's columns, in their fixed order.
enum ListColumn : int {
    ColAfterStart,
    ColComment,
    ColDescription,
    ColDT,
    ColMessShow,
    ColHint,
    ColSound,
    ColAnim,
    ColRunProg,
    ColSpecial,
    ListColumnCount
};

class ThingsListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ThingsListModel(TDataModule1& data, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Only the titles of the message, description and next-time columns can be
    // set; the others stay empty whatever a language file says.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The row at a list position, or null when there is none.
    const ThingRow* RowAt(int row) const;
    // The next occurrence of a row as of Now() (BaseDate for after-start rows).
    TDateTime NextTimeAt(int row) const;

    TDateTime Now() const { return now_; }
    // The moment the calculated columns and the grey texts are worked out for.
    void SetNow(TDateTime now) { now_ = now; }
    // Has the view recompute the calculated columns (and the colours that depend
    // on them). Does nothing while the table is closed or empty.
    void RefreshCalcFields();
    // Call after the table was loaded and after every SaveThing or DeleteThing,
    // whether it succeeded or not (both may move cdsThings): the rows are read
    // again and the grid's current row follows cdsThings' current row.
    void tableChanged();

    TDataModule1& Data() const { return data_; }

private:
    TDataModule1& data_;
    TDateTime now_ = 0;
    std::uint64_t version_ = 0;
    std::array<QString, ListColumnCount> titles_;
};

// "dd.mm.yyyy hh:nn" as the next-time column shows it.
QString NextTimeText(TDateTime t);
