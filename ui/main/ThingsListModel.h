#pragma once
// The reminder list as a table model: the rows of the list cursor in message order,
// with the stored columns the grid shows and the two calculated ones (next time
// and schedule text), computed against a moment the main window sets.

#include "core/Clock.h"
#include "core/ReminderRepository.h"
#include "core/TimeZoneSpan.h"

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
    explicit ThingsListModel(ReminderRepository& data, QObject* parent = nullptr);

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
    const ReminderRow* RowAt(int row) const;
    // The next time of a row as of Now() (afterStartMoment for after-start rows).
    Moment NextTimeAt(int row) const;

    Moment Now() const { return now_; }
    // The moment the calculated columns and the grey texts are worked out for, with local
    // time as UTC.
    void SetNow(Moment now);
    // The same, as the clock tells it now, in its time zone.
    void SetNow(const Clock& clock);
    // The texts the schedule descriptions are made of.
    void setTexts(const Texts& texts) { texts_ = texts; }
    // Has the view recompute the calculated columns (and the colours that depend
    // on them). Does nothing while the table is closed or empty.
    void RefreshCalcFields();
    // Call after the table was loaded and after every saveReminder or deleteReminder,
    // whether it succeeded or not (both may move the list cursor): the rows are read
    // again and the grid's current row follows the list cursor's current row.
    void tableChanged();

    ReminderRepository& Data() const { return data_; }

private:
    ReminderRepository& data_;
    Moment now_ = DayCountEpoch;
    UtcInstant nowUtc_{DayCountEpoch.time_since_epoch()};
    TimeZoneSpan zone_;
    std::uint64_t version_ = 0;
    Texts texts_;
    std::array<QString, ListColumnCount> titles_;
};

// "dd.mm.yyyy hh:nn" as the next-time column shows it.
QString NextTimeText(Moment t);
