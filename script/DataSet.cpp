#include "script/DataSet.h"

#include "core/Failure.h"
#include "script/ScriptDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <limits>
#include <optional>

namespace {

const QString SortKey = QStringLiteral("SortKey");

QString quoted(QString identifier)
{
    return u'"' + identifier.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

[[noreturn]] void failWith(const QSqlError& error)
{
    throw Failure(databaseErrorText(error));
}

// What was read and what was typed compare by their text, so "12" typed over 12 is no change.
bool sameValue(const QVariant& left, const QVariant& right)
{
    if (left.isNull() || right.isNull())
        return left.isNull() == right.isNull();
    return left.toString() == right.toString();
}

// The driver gives NULL as a null text; the data set keeps it as no value at all, whatever the column.
QVariant columnValue(const QSqlQuery& query, int column)
{
    return query.isNull(column) ? QVariant() : query.value(column);
}

QVariant normalised(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString && value.toString().isEmpty())
        return QVariant();
    return value;
}

}  // namespace

DataSet::DataSet(ScriptDatabase& database, QString tableName, QString numberingField, QObject* parent)
    : QObject(parent), database_(database), tableName_(std::move(tableName)), numberingField_(std::move(numberingField))
{
}

void DataSet::open()
{
    if (isOpen())
        return;
    database_.open();
    readColumns();
    QList<Row> rows = readRows();

    emit aboutToReset();
    rows_ = std::move(rows);
    state_ = State::Browse;
    current_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    emit reset();
    emit stateChanged();
    emit currentRowChanged();
}

// Every column of the table is a field, except the hidden ordering key.
void DataSet::readColumns()
{
    QSqlQuery columns(database_.connection());
    if (!columns.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted(tableName_))))
        failWith(columns.lastError());
    const QSqlRecord record = columns.record();
    fieldNames_.clear();
    hasSortKey_ = false;
    for (int column = 0; column < record.count(); ++column) {
        if (record.fieldName(column) == SortKey)
            hasSortKey_ = true;
        else
            fieldNames_.append(record.fieldName(column));
    }
}

QList<DataSet::Row> DataSet::readRows() const
{
    // Rows that another program added without a key come last, in the order they were added.
    const QString order = hasSortKey_ ? QStringLiteral("\"SortKey\" IS NULL, \"SortKey\", rowid") : QStringLiteral("rowid");
    QSqlQuery query(database_.connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY %3").arg(selectList(), quoted(tableName_), order)))
        failWith(query.lastError());
    QList<Row> rows;
    while (query.next())
        rows.append(rowFrom(query, query.value(0).toLongLong(), 1));
    if (query.lastError().isValid())
        failWith(query.lastError());
    return rows;
}

// The fields, then the ordering key (NULL where the table has none).
QString DataSet::selectList() const
{
    QStringList selected;
    for (const QString& field : fieldNames_)
        selected.append(quoted(field));
    selected.append(hasSortKey_ ? quoted(SortKey) : QStringLiteral("NULL"));
    return selected.join(QStringLiteral(", "));
}

DataSet::Row DataSet::rowFrom(const QSqlQuery& query, qint64 rowId, int firstColumn) const
{
    const int fieldCount = int(fieldNames_.size());
    Row row{rowId, columnValue(query, firstColumn + fieldCount), {}};
    row.values.reserve(fieldCount);
    for (int field = 0; field < fieldCount; ++field)
        row.values.append(columnValue(query, firstColumn + field));
    return row;
}

bool DataSet::isModified() const
{
    if (state_ == State::Edit) {
        for (int field = 0; field < pending_.size(); ++field)
            if (!sameValue(pending_[field], rows_[current_].values[field]))
                return true;
    }
    if (state_ == State::Insert) {
        for (const QVariant& value : pending_)
            if (!value.isNull())
                return true;
    }
    return false;
}

QVariant DataSet::value(int row, int field) const
{
    const bool pending = row == current_ && (state_ == State::Edit || state_ == State::Insert);
    return pending ? pending_[field] : rows_[row].values[field];
}

QVariant DataSet::fieldValue(const QString& fieldName) const
{
    if (!isOpen())
        return QVariant();
    const int field = fieldIndex(fieldName);
    requireField(field);
    return current_ < 0 ? QVariant() : value(current_, field);
}

qint32 DataSet::fieldAsInt(const QString& fieldName) const
{
    const QVariant read = fieldValue(fieldName);
    if (read.isNull())
        return 0;
    bool isNumber = false;
    const qlonglong number = read.toLongLong(&isNumber);
    if (!isNumber || number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        throw Failure(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(read.toString(), fieldName));
    return qint32(number);
}

void DataSet::requireField(int field) const
{
    if (field < 0 || field >= fieldNames_.size())
        throw Failure(QStringLiteral("%1: Field not found").arg(tableName_));
}

void DataSet::edit()
{
    if (state_ != State::Browse)
        return;
    if (rows_.isEmpty()) {
        insertRowAt(0);
        return;
    }
    pending_ = rows_[current_].values;
    setState(State::Edit);
}

void DataSet::setValue(int field, const QVariant& value)
{
    if (!isOpen())
        return;
    requireField(field);
    edit();
    pending_[field] = normalised(value);
    emit dataChanged(current_);
}

void DataSet::first()
{
    moveToEnd(End::First);
}

void DataSet::prior()
{
    if (!isOpen())
        return;
    const int target = settle(current_ - 1);
    if (bof_)
        return;
    if (target >= 0)
        setCursor(target, false, false);
    else
        setCursor(0, true, false);
}

void DataSet::next()
{
    if (!isOpen())
        return;
    const int target = settle(current_ + 1);
    if (eof_)
        return;
    if (target < rowCount())
        setCursor(target, false, false);
    else
        setCursor(rowCount() - 1, false, true);
}

void DataSet::last()
{
    moveToEnd(End::Last);
}

void DataSet::moveToEnd(End end)
{
    if (!isOpen())
        return;
    settle(current_);
    if (rows_.isEmpty())
        setCursor(-1, true, true);
    else if (end == End::First)
        setCursor(0, true, false);
    else
        setCursor(rowCount() - 1, false, true);
}

void DataSet::moveTo(int row)
{
    if (!isOpen() || row == current_)
        return;
    const int target = settle(row);
    if (!rows_.isEmpty())
        setCursor(qBound(0, target, rowCount() - 1), false, false);
}

void DataSet::insert()
{
    if (!isOpen())
        return;
    insertRowAt(qMax(0, settle(current_)));
}

void DataSet::append()
{
    if (!isOpen())
        return;
    settle(current_);
    insertRowAt(rowCount());
}

void DataSet::remove()
{
    if (!isOpen() || current_ < 0)
        return;
    if (state_ == State::Insert) {
        removeCurrentRow();
        return;
    }
    QSqlQuery query(database_.connection());
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(tableName_)));
    query.addBindValue(rows_[current_].rowId);
    if (!query.exec())
        failWith(query.lastError());
    removeCurrentRow();
}

void DataSet::cancel()
{
    if (state_ == State::Insert)
        removeCurrentRow();
    else if (state_ == State::Edit)
        endEdit();
}

void DataSet::endEdit()
{
    pending_.clear();
    setState(State::Browse);
    emit dataChanged(current_);
}

void DataSet::post()
{
    emit updateRecordRequested();
    if (state_ == State::Edit) {
        if (isModified())
            storeEdit();
        endEdit();
    } else if (state_ == State::Insert) {
        if (isModified())
            storeNewRow();
        else
            removeCurrentRow();
    }
}

// Every move first stores the pending edit; the target is renumbered when an untouched new row goes away.
int DataSet::settle(int target)
{
    emit updateRecordRequested();
    const bool dropsNewRow = state_ == State::Insert && !isModified();
    const int dropped = current_;
    post();
    return dropsNewRow && target > dropped ? target - 1 : target;
}

void DataSet::storeEdit()
{
    Row& row = rows_[current_];
    QStringList assignments;
    QSqlQuery query(database_.connection());
    QList<QVariant> changed;
    for (int field = 0; field < fieldNames_.size(); ++field) {
        if (sameValue(pending_[field], row.values[field]))
            continue;
        assignments.append(quoted(fieldNames_[field]) + QStringLiteral(" = ?"));
        changed.append(pending_[field]);
    }
    query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                      .arg(quoted(tableName_), assignments.join(QStringLiteral(", "))));
    for (const QVariant& value : changed)
        query.addBindValue(value);
    query.addBindValue(row.rowId);
    if (!query.exec())
        failWith(query.lastError());
    if (query.numRowsAffected() == 0)
        throwRowGone();
    row = readStoredRow(row.rowId);
}

void DataSet::storeNewRow()
{
    QStringList columns;
    QStringList placeholders;
    for (const QString& field : fieldNames_) {
        columns.append(quoted(field));
        placeholders.append(field == numberingField_
                                ? QStringLiteral("coalesce(?, (SELECT coalesce(max(%1), 0) + 1 FROM %2))")
                                      .arg(quoted(field), quoted(tableName_))
                                : QStringLiteral("?"));
    }
    QList<QVariant> values = pending_;
    if (hasSortKey_) {
        columns.append(quoted(SortKey));
        placeholders.append(QStringLiteral("?"));
        values.append(sortKeyForNewRow());
    }
    QSqlQuery query(database_.connection());
    query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(tableName_), columns.join(QStringLiteral(", ")), placeholders.join(QStringLiteral(", "))));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        failWith(query.lastError());
    rows_[current_] = readStoredRow(query.lastInsertId().toLongLong());
    endEdit();
}

// A key between the neighbours' keys keeps the new row where the user put it, also after a restart.
double DataSet::sortKeyForNewRow()
{
    const auto between = [this]() -> std::optional<double> {
        const bool hasBelow = current_ > 0;
        const bool hasAbove = current_ + 1 < rowCount();
        if ((hasBelow && rows_[current_ - 1].sortKey.isNull()) || (hasAbove && rows_[current_ + 1].sortKey.isNull()))
            return std::nullopt;
        const double below = hasBelow ? rows_[current_ - 1].sortKey.toDouble() : 0;
        const double above = hasAbove ? rows_[current_ + 1].sortKey.toDouble() : 0;
        if (!hasBelow && !hasAbove)
            return 1.0;
        if (!hasAbove)
            return below + 1;
        if (!hasBelow)
            return above - 1;
        const double middle = below + (above - below) / 2;
        if (middle > below && middle < above)
            return middle;
        return std::nullopt;
    };
    if (const std::optional<double> key = between())
        return *key;
    renumberSortKeys();
    return *between();
}

// Gives every stored row its position as key, leaving a gap where the new row goes.
void DataSet::renumberSortKeys()
{
    QSqlDatabase connection = database_.connection();
    if (!connection.transaction())
        failWith(connection.lastError());
    QSqlQuery update(connection);
    update.prepare(QStringLiteral("UPDATE %1 SET \"SortKey\" = ? WHERE rowid = ?").arg(quoted(tableName_)));
    for (int row = 0; row < rowCount(); ++row) {
        if (rows_[row].rowId == 0)
            continue;
        update.addBindValue(double(row + 1));
        update.addBindValue(rows_[row].rowId);
        if (!update.exec()) {
            const QSqlError error = update.lastError();
            connection.rollback();
            failWith(error);
        }
    }
    if (!connection.commit()) {
        const QSqlError error = connection.lastError();
        connection.rollback();
        failWith(error);
    }
    for (int row = 0; row < rowCount(); ++row)
        rows_[row].sortKey = double(row + 1);
}

void DataSet::throwRowGone() const
{
    throw Failure(QStringLiteral("The row cannot be found in %1 any more; another program may have deleted it")
                      .arg(tableName_));
}

DataSet::Row DataSet::readStoredRow(qint64 rowId) const
{
    QSqlQuery query(database_.connection());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(selectList(), quoted(tableName_)));
    query.addBindValue(rowId);
    if (!query.exec())
        failWith(query.lastError());
    if (!query.next())
        throwRowGone();
    return rowFrom(query, rowId, 0);
}

void DataSet::insertRowAt(int row)
{
    emit aboutToInsertRow(row);
    rows_.insert(row, Row{0, QVariant(), emptyValues()});
    pending_ = emptyValues();
    state_ = State::Insert;
    current_ = row;
    bof_ = false;
    eof_ = false;
    emit rowInserted(row);
    emit stateChanged();
    emit currentRowChanged();
}

// The cursor stays at the same place, which now shows the row after the removed one (or the new last row).
void DataSet::removeCurrentRow()
{
    const int row = current_;
    const bool stateChanges = state_ != State::Browse;
    emit aboutToRemoveRow(row);
    rows_.removeAt(row);
    pending_.clear();
    state_ = State::Browse;
    current_ = rows_.isEmpty() ? -1 : qMin(row, rowCount() - 1);
    bof_ = rows_.isEmpty();
    eof_ = rows_.isEmpty();
    emit rowRemoved(row);
    if (stateChanges)
        emit stateChanged();
    emit currentRowChanged();
}

void DataSet::setCursor(int row, bool bof, bool eof)
{
    if (row == current_ && bof == bof_ && eof == eof_)
        return;
    current_ = row;
    bof_ = bof;
    eof_ = eof;
    emit currentRowChanged();
}

void DataSet::setState(State state)
{
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged();
}

QList<QVariant> DataSet::emptyValues() const
{
    return QList<QVariant>(fieldNames_.size());
}
