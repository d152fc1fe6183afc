#pragma once
// The reminder list as a table model: the reminders in message order, with the
// stored columns the list shows and two computed ones (next time and schedule
// text), worked out for a moment the owner sets.
//
// The rows come in the message order the model is given, which it brings up to date
// whenever it reads the rows.

#include "core/Clock.h"
#include "core/ReminderRepository.h"
#include "core/TimeZoneSpan.h"
#include "ui/main/MessageOrder.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The list's columns, in their fixed order.
enum ListColumn : int {
    AfterStartColumn,
    MessageColumn,
    DescriptionColumn,
    NextTimeColumn,
    ShowAlertColumn,
    HintColumn,
    SoundColumn,
    FlashColumn,
    OpenFileColumn,
    PowerColumn,
    ListColumnCount
};

class ReminderListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The order must follow data's table and outlive the model.
    ReminderListModel(const ReminderRepository& data, MessageOrder& order,
                      QObject* parent = nullptr);

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

    // The stored row shown at a list position, or null when there is none.
    const ReminderRow* rowAt(int row) const;
    // The reminder number at a list position as last read; none for a missing row
    // or number.
    std::optional<std::int32_t> numberAt(int row) const;
    // The list position of the reminder with that number, -1 when it is not listed.
    int rowOfNumber(std::int32_t number) const;
    // The next time of a row as of now() (afterStartMoment for after-start rows).
    Moment nextTimeAt(int row) const;

    Moment now() const { return m_now; }
    // The moment the computed columns and the grey texts are worked out for, with local
    // time as UTC.
    void setNow(Moment now);
    // The same, as the clock tells it now, in its time zone (looked up again only
    // after a day or when the clock's offset no longer agrees with it).
    void setNow(const Clock& clock);
    // The texts the schedule descriptions are made of.
    void setTexts(const Texts& texts) { m_texts = texts; }

    // Has the view recompute the computed columns (and the colours that depend on
    // them). A change of the table nobody announced reads the rows again instead.
    void refreshComputedColumns();
    // Reads the rows again; call after the table was loaded and after every change.
    void reload();
    // The number of the one reminder that came in with the last reload, if exactly
    // one did: the view makes a reminder just added current.
    std::optional<std::int32_t> addedNumber() const { return m_addedNumber; }

    // How two messages compare in the list: negative, 0 or positive.
    int compareMessages(const QString& a, const QString& b) const;

private:
    const ReminderRepository& m_data;
    MessageOrder& m_order;
    // The order as last read: the view's rows stay as they were until the next reset.
    std::vector<MessageOrder::Entry> m_rows;
    std::uint64_t m_version = 0;
    // The largest row id at the last reading; ids only grow, so rows with larger ones came in
    // since.
    RowId m_lastId = 0;
    std::optional<std::int32_t> m_addedNumber;
    Moment m_now = DayCountEpoch;
    UtcInstant m_nowUtc{DayCountEpoch.time_since_epoch()};
    TimeZoneSpan m_zone;
    // The instant m_zone was looked up around; none while it is UTC (setNow(Moment)).
    std::optional<UtcInstant> m_zoneAround;
    Texts m_texts;
    std::array<QString, ListColumnCount> m_titles;
};

// "dd.mm.yyyy hh:nn" as the next-time column shows it.
QString nextTimeText(Moment t);
