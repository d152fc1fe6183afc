#include "ui/main/ReminderListModel.h"

#include "core/ScheduleText.h"

ReminderListModel::ReminderListModel(const ReminderRepository& data, MessageOrder& order,
                                     QObject* parent)
    : QAbstractTableModel(parent), m_data(data), m_order(order) {
    m_titles[MessageColumn] = QStringLiteral("Message");
    m_titles[DescriptionColumn] = QStringLiteral("description");
    m_titles[NextTimeColumn] = QStringLiteral("Next time");
    reload();
}

int ReminderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReminderListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ListColumnCount;
}

const ReminderRow* ReminderListModel::rowAt(int row) const {
    if (row < 0 || row >= rowCount() || m_version != m_data.table().version())
        return nullptr;
    return m_data.table().find(m_rows[static_cast<std::size_t>(row)].id);
}

std::optional<std::int32_t> ReminderListModel::numberAt(int row) const {
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    return m_rows[static_cast<std::size_t>(row)].number;
}

int ReminderListModel::rowOfNumber(std::int32_t number) const {
    for (int row = 0; row < rowCount(); ++row)
        if (numberAt(row) == number)
            return row;
    return -1;
}

Moment ReminderListModel::nextTimeAt(int row) const {
    const ReminderRow* r = rowAt(row);
    return r == nullptr ? DayCountEpoch : rowNextTime(*r, m_nowUtc, m_zone);
}

void ReminderListModel::setNow(Moment now) {
    m_now = now;
    m_nowUtc = UtcInstant{now.time_since_epoch()};
    m_zone = TimeZoneSpan();
    m_zoneAround.reset();
}

void ReminderListModel::setNow(const Clock& clock) {
    const ClockReading reading = clock.now();
    m_now = reading.local;
    m_nowUtc = reading.utc;
    if (!m_zoneAround || reading.utc < *m_zoneAround ||
        reading.utc > *m_zoneAround + std::chrono::days(1) ||
        m_zone.toLocal(reading.utc) != reading.local) {
        m_zone = TimeZoneSpan::around(clock, reading.utc);
        m_zoneAround = reading.utc;
    }
}

QString nextTimeText(Moment t) {
    return QString::fromStdString(dateMinuteText(t));
}

QVariant ReminderListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const ReminderRow* row = rowAt(index.row());
    if (row == nullptr)
        return {};
    switch (index.column()) {
    case MessageColumn:
        return QString::fromStdString(row->message());
    case DescriptionColumn:
        return QString::fromStdString(rowDescription(*row, m_texts));
    case NextTimeColumn:
        return nextTimeText(rowNextTime(*row, m_nowUtc, m_zone));
    default:
        return {}; // picture columns carry no text
    }
}

QVariant ReminderListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ListColumnCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_titles[section];
    return {};
}

bool ReminderListModel::setHeaderData(int section, Qt::Orientation orientation,
                                      const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    if (section != MessageColumn && section != DescriptionColumn && section != NextTimeColumn)
        return false;
    m_titles[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags ReminderListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable; // read-only
}

int ReminderListModel::compareMessages(const QString& a, const QString& b) const {
    return m_order.compare(a, b);
}

void ReminderListModel::refreshComputedColumns() {
    if (m_data.table().version() != m_version) {
        reload(); // a change nobody announced: read everything again
        return;
    }
    const int rows = rowCount();
    if (rows == 0)
        return;
    // The message column too: its colour depends on the next time.
    emit dataChanged(index(0, MessageColumn), index(rows - 1, NextTimeColumn), {Qt::DisplayRole});
}

void ReminderListModel::reload() {
    beginResetModel();
    m_order.update();
    m_rows = m_order.entries();
    const ReminderTable& table = m_data.table();
    // Ids grow in stored order: the rows that came in since the last reading end the table.
    std::size_t firstNew = table.count();
    while (firstNew > 0 && table.idAt(firstNew - 1) > m_lastId)
        --firstNew;
    m_addedNumber.reset();
    if (table.count() - firstNew == 1) {
        const ReminderRow& row = table.rowAt(firstNew);
        m_addedNumber = row.number();
    }
    if (table.count() > 0)
        m_lastId = table.idAt(table.count() - 1);
    m_version = table.version();
    endResetModel();
}
