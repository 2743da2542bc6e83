#include "script/DataSetModel.h"

#include "script/DataSet.h"

DataSetModel::DataSetModel(DataSet& dataSet, QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(dataSet), columns_(std::move(columns))
{
    resolveFields();
    connect(&dataSet_, &DataSet::aboutToReset, this, [this] { beginResetModel(); });
    connect(&dataSet_, &DataSet::reset, this, [this] {
        resolveFields();
        endResetModel();
    });
    connect(&dataSet_, &DataSet::aboutToInsertRow, this, [this](int row) { beginInsertRows(QModelIndex(), row, row); });
    connect(&dataSet_, &DataSet::rowInserted, this, [this] { endInsertRows(); });
    connect(&dataSet_, &DataSet::aboutToRemoveRow, this, [this](int row) { beginRemoveRows(QModelIndex(), row, row); });
    connect(&dataSet_, &DataSet::rowRemoved, this, [this] { endRemoveRows(); });
    connect(&dataSet_, &DataSet::dataChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
    connect(&dataSet_, &DataSet::currentRowChanged, this, &DataSetModel::markCurrentRow);
    connect(&dataSet_, &DataSet::stateChanged, this, &DataSetModel::markCurrentRow);
}

void DataSetModel::resolveFields()
{
    fields_.clear();
    for (const Column& column : columns_)
        fields_.append(dataSet_.fieldIndex(column.fieldName));
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : dataSet_.rowCount();
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    const int field = fields_.value(index.column(), -1);
    if (!index.isValid() || field < 0)
        return QVariant();
    const QVariant value = dataSet_.value(index.row(), field);
    switch (role) {
    case Qt::DisplayRole:
        return value;
    case Qt::EditRole:
        // Typing is text; the database decides whether it is a valid value.
        return value.toString();
    case Qt::TextAlignmentRole: {
        const bool number = value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        return QVariant();
    }
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int field = fields_.value(index.column(), -1);
    if (role != Qt::EditRole || field < 0 || index.row() != dataSet_.currentRow())
        return false;
    dataSet_.setValue(field, value);
    return true;
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return columns_.value(section).title;
    if (section != dataSet_.currentRow())
        return QString();
    switch (dataSet_.state()) {
    case DataSet::State::Edit:
        return QStringLiteral("I");
    case DataSet::State::Insert:
        return QStringLiteral("*");
    default:
        return QString(QChar(0x25B6));
    }
}

void DataSetModel::markCurrentRow()
{
    for (const int row : {markedRow_, dataSet_.currentRow()}) {
        if (row >= 0 && row < rowCount())
            emit headerDataChanged(Qt::Vertical, row, row);
    }
    markedRow_ = dataSet_.currentRow();
}
