#include "ui/main/ReminderListModel.h"

#include "core/ScheduleText.h"

#include <algorithm>
#include <unordered_map>

namespace {

QCollator listCollator(const QLocale& locale) {
    // Qt compares code points for the C locale; English collation is the root
    // collation without changes, which sorts every script sensibly.
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace

ReminderListModel::ReminderListModel(const ReminderRepository& data, QObject* parent,
                                     const QLocale& locale)
    : QAbstractTableModel(parent), m_data(data), m_collator(listCollator(locale)) {
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
    return &m_data.table().rowAt(m_rows[static_cast<std::size_t>(row)].stored);
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
        return QString::fromStdString(row->text(Col::Comment));
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
    return m_collator.compare(a, b);
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
    const ReminderTable& table = m_data.table();
    // Keys of unchanged messages are taken over; only new or changed ones are made.
    std::unordered_map<RowId, std::size_t> previous;
    previous.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        previous.emplace(m_rows[i].id, i);
    std::vector<Entry> rows;
    rows.reserve(table.count());
    std::vector<std::int32_t> added;
    for (std::size_t i = 0; i < table.count(); ++i) {
        const RowId id = table.idAt(i);
        const ReminderRow& row = table.rowAt(i);
        const std::string& message = row.text(Col::Comment);
        const std::optional<std::int32_t> number =
            row.isNull(Col::N) ? std::nullopt : std::optional(row.integer(Col::N));
        const auto old = previous.find(id);
        if (old == previous.end()) {
            added.push_back(number.value_or(0));
        } else if (Entry& kept = m_rows[old->second]; kept.message == message) {
            rows.push_back({id, i, number, std::move(kept.message), std::move(kept.key)});
            continue;
        }
        rows.push_back(
            {id, i, number, message, m_collator.sortKey(QString::fromStdString(message))});
    }
    // Rows are built in stored order, which a stable sort keeps for equal messages.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Entry& a, const Entry& b) { return a.key.compare(b.key) < 0; });
    m_rows = std::move(rows);
    m_version = table.version();
    m_addedNumber = added.size() == 1 ? std::optional(added.front()) : std::nullopt;
    endResetModel();
}
