#include "ui/main/ThingsListModel.h"

#include "core/ScheduleText.h"

ThingsListModel::ThingsListModel(ReminderRepository& data, QObject* parent)
    : QAbstractTableModel(parent), data_(data), version_(data.table().version()) {
    titles_[ColComment] = QStringLiteral("Message");
    titles_[ColDescription] = QStringLiteral("description");
    titles_[ColDT] = QStringLiteral("Next time");
}

int ThingsListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return data_.listCursor().recordCount();
}

int ThingsListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ListColumnCount;
}

const ReminderRow* ThingsListModel::RowAt(int row) const {
    if (row < 0 || row >= data_.listCursor().recordCount())
        return nullptr;
    return &data_.listCursor().at(row);
}

Moment ThingsListModel::NextTimeAt(int row) const {
    const ReminderRow* r = RowAt(row);
    return r == nullptr ? DayCountEpoch : rowNextTime(*r, nowUtc_, zone_);
}

void ThingsListModel::SetNow(Moment now) {
    now_ = now;
    nowUtc_ = UtcInstant{now.time_since_epoch()};
    zone_ = TimeZoneSpan();
}

void ThingsListModel::SetNow(const Clock& clock) {
    const ClockReading reading = clock.now();
    now_ = reading.local;
    nowUtc_ = reading.utc;
    zone_ = TimeZoneSpan::around(clock, reading.utc);
}

QString NextTimeText(Moment t) {
    return QString::fromStdString(dateMinuteText(t));
}

QVariant ThingsListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const ReminderRow* row = RowAt(index.row());
    if (row == nullptr)
        return {};
    switch (index.column()) {
    case ColComment:
        return QString::fromStdString(row->text(Col::Comment));
    case ColDescription:
        return QString::fromStdString(rowDescription(*row, texts_));
    case ColDT:
        return NextTimeText(rowNextTime(*row, nowUtc_, zone_));
    default:
        return {}; // icon columns carry no text
    }
}

QVariant ThingsListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ListColumnCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return titles_[section];
    return {};
}

bool ThingsListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                    int role) {
    if (orientation != Qt::Horizontal || (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    if (section != ColComment && section != ColDescription && section != ColDT)
        return false;
    titles_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags ThingsListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable; // read-only
}

void ThingsListModel::RefreshCalcFields() {
    if (data_.table().version() != version_) {
        tableChanged(); // a change nobody announced: read everything again
        return;
    }
    const int rows = rowCount();
    if (!data_.listCursor().isActive() || rows == 0)
        return;
    // The message column too: its colour depends on the next time.
    emit dataChanged(index(0, ColComment), index(rows - 1, ColDT), {Qt::DisplayRole});
}

void ThingsListModel::tableChanged() {
    beginResetModel();
    version_ = data_.table().version();
    endResetModel();
}
