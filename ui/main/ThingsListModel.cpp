#include "ThingsListModel.h"

ThingsListModel::ThingsListModel(TDataModule1& data, QObject* parent)
    : QAbstractTableModel(parent), data_(data), version_(data.table.Version()) {
    titles_[ColComment] = QStringLiteral("Message");
    titles_[ColDescription] = QStringLiteral("description");
    titles_[ColDT] = QStringLiteral("Next time");
}

int ThingsListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return data_.cdsThings.RecordCount();
}

int ThingsListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ListColumnCount;
}

const ThingRow* ThingsListModel::RowAt(int row) const {
    if (row < 0 || row >= data_.cdsThings.RecordCount())
        return nullptr;
    return &data_.cdsThings.At(row);
}

TDateTime ThingsListModel::NextTimeAt(int row) const {
    const ThingRow* r = RowAt(row);
    return r == nullptr ? 0 : RowNextTime(*r, now_);
}

QString NextTimeText(TDateTime t) {
    return QString::fromStdString(DateMinuteText(t));
}

QVariant ThingsListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const ThingRow* row = RowAt(index.row());
    if (row == nullptr)
        return {};
    switch (index.column()) {
    case ColComment:
        return QString::fromStdString(row->Text(Col::Comment));
    case ColDescription:
        return QString::fromStdString(RowDescription(*row));
    case ColDT:
        return NextTimeText(RowNextTime(*row, now_));
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
    if (data_.table.Version() != version_) {
        tableChanged(); // a change nobody announced: read everything again
        return;
    }
    const int rows = rowCount();
    if (!data_.cdsThings.Active() || rows == 0)
        return;
    // The message column too: its colour depends on the next time.
    emit dataChanged(index(0, ColComment), index(rows - 1, ColDT), {Qt::DisplayRole});
}

void ThingsListModel::tableChanged() {
    beginResetModel();
    version_ = data_.table.Version();
    endResetModel();
}
