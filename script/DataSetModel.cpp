#include "script/DataSetModel.h"

#include "script/DataSet.h"

#include <QScopedValueRollback>

DataSetModel::DataSetModel(DataSet& dataSet, QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(dataSet), columns_(std::move(columns))
{
    resolveFields();
    rowCount_ = dataSet_.rowCount();
    connect(&dataSet_, &DataSet::reset, this, &DataSetModel::reset);
    connect(&dataSet_, &DataSet::rowInserted, this, &DataSetModel::insertRow);
    connect(&dataSet_, &DataSet::rowRemoved, this, &DataSetModel::removeRow);
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

void DataSetModel::reset()
{
    const QScopedValueRollback<bool> changing(changingRows_, true);
    beginResetModel();
    resolveFields();
    rowCount_ = dataSet_.rowCount();
    markedRow_ = -1;
    endResetModel();
}

void DataSetModel::insertRow(int row)
{
    Q_ASSERT(rowCount_ + 1 == dataSet_.rowCount());
    const QScopedValueRollback<bool> changing(changingRows_, true);
    shiftFrom_ = row;
    shiftBy_ = 1;
    beginInsertRows(QModelIndex(), row, row);
    shiftBy_ = 0;
    ++rowCount_;
    if (markedRow_ >= row)
        ++markedRow_;
    endInsertRows();
}

void DataSetModel::removeRow(int row)
{
    Q_ASSERT(rowCount_ - 1 == dataSet_.rowCount());
    const QScopedValueRollback<bool> changing(changingRows_, true);
    shiftFrom_ = row;
    shiftBy_ = -1;
    beginRemoveRows(QModelIndex(), row, row);
    shiftBy_ = 0;
    --rowCount_;
    if (markedRow_ == row)
        markedRow_ = -1;
    else if (markedRow_ > row)
        --markedRow_;
    endRemoveRows();
}

int DataSetModel::sourceRow(int row) const
{
    if (row < shiftFrom_ || shiftBy_ == 0)
        return row;
    if (shiftBy_ < 0 && row == shiftFrom_)
        return -1;
    return row + (shiftBy_ > 0 ? 1 : -1);
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rowCount_;
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    const int field = fields_.value(index.column(), -1);
    const int row = sourceRow(index.row());
    if (!index.isValid() || field < 0 || row < 0 || row >= dataSet_.rowCount())
        return QVariant();
    const QVariant value = dataSet_.value(row, field);
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
    if (role != Qt::EditRole || field < 0 || changingRows_ || index.row() != dataSet_.currentRow())
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
    const int row = sourceRow(section);
    if (row < 0 || row != dataSet_.currentRow())
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
    const auto shown = [this](int row) { return row >= 0 && row < rowCount() ? row : -1; };
    const int previous = markedRow_;
    markedRow_ = dataSet_.currentRow();
    emit markerMoved(shown(previous), shown(markedRow_));
}
