#include "script/DataSet.h"

#include "core/Failure.h"
#include "script/ScriptDatabase.h"

#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>

#include <limits>
#include <optional>
#include <utility>

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

// A declared type that names INT gives the column integer affinity; such a field holds 32-bit whole numbers.
bool isIntegerType(const QString& declaredType)
{
    return declaredType.contains(QStringLiteral("INT"), Qt::CaseInsensitive);
}

QVariant normalised(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString && value.toString().isEmpty())
        return QVariant();
    return value;
}

}  // namespace

DataSet::DataSet(ScriptDatabase& database, QString tableName, QString numberingField, QStringList requiredFields,
                 QObject* parent)
    : QObject(parent),
      database_(database),
      tableName_(std::move(tableName)),
      numberingField_(std::move(numberingField)),
      requiredFields_(std::move(requiredFields))
{
}

template <typename Operation>
void DataSet::change(Operation&& operation)
{
    Q_ASSERT_X(rowListAnnouncements_ == 0, "DataSet", "changed while its row list is being announced");
    ++operationDepth_;
    try {
        operation();
    } catch (...) {
        if (--operationDepth_ == 0)
            emitHeldBackSignals();
        throw;
    }
    if (--operationDepth_ == 0)
        emitHeldBackSignals();
}

// Receivers may call back in: each of them starts an operation of its own, so nothing here is kept
// across an emit but the local copies.
void DataSet::emitHeldBackSignals()
{
    checkInvariants();
    const bool state = std::exchange(stateNoticed_, false);
    const bool current = std::exchange(currentRowNoticed_, false);
    const QList<RowKey> changed = std::exchange(changedRows_, {});
    if (state)
        emit stateChanged();
    for (const RowKey key : changed) {
        const int row = indexOf(key);
        if (row >= 0)
            emit dataChanged(row);
    }
    if (current)
        emit currentRowChanged();
}

void DataSet::noteDataChanged(int row)
{
    Q_ASSERT(row >= 0 && row < rowCount());
    if (!changedRows_.contains(rows_[row].key))
        changedRows_.append(rows_[row].key);
}

template <typename... Arguments>
void DataSet::announceRowList(void (DataSet::*signal)(Arguments...), Arguments... arguments)
{
    checkInvariants();
    ++rowListAnnouncements_;
    const auto quiet = qScopeGuard([this] { --rowListAnnouncements_; });
    emit(this->*signal)(arguments...);
}

void DataSet::checkInvariants() const
{
    Q_ASSERT(current_ >= -1 && current_ < rowCount());
    Q_ASSERT(state_ == State::Closed || (current_ == -1) == rows_.isEmpty());
    Q_ASSERT(!rows_.isEmpty() || (bof_ && eof_));
    Q_ASSERT((state_ == State::Edit || state_ == State::Insert) == !pending_.isEmpty() || fieldNames_.isEmpty());
    Q_ASSERT(state_ != State::Insert || rows_[current_].rowId == 0);
    Q_ASSERT(state_ != State::Edit || rows_[current_].rowId != 0);
}

void DataSet::open()
{
    if (isOpen())
        return;
    change([this] {
        database_.open();
        readColumns();
        requireColumns();
        showRows(readRows());
    });
}

void DataSet::reread()
{
    if (!isOpen())
        return;
    change([this] { showRows(readRows()); });
}

void DataSet::showRows(QList<Row> rows)
{
    rows_ = std::move(rows);
    pending_.clear();
    state_ = State::Browse;
    current_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    announceRowList(&DataSet::reset);
    noteStateChanged();
    noteCurrentRowChanged();
}

// Every column of the table is a field, except the hidden ordering key.
void DataSet::readColumns()
{
    QSqlQuery columns(database_.connection());
    columns.setForwardOnly(true);
    if (!columns.exec(QStringLiteral("SELECT name, type FROM pragma_table_info(%1)").arg(quoted(tableName_))))
        failWith(columns.lastError());
    fieldNames_.clear();
    integerFields_.clear();
    hasSortKey_ = false;
    while (columns.next()) {
        const QString name = columns.value(0).toString();
        if (name == SortKey) {
            hasSortKey_ = true;
            continue;
        }
        fieldNames_.append(name);
        integerFields_.append(isIntegerType(columns.value(1).toString()));
    }
    if (fieldNames_.isEmpty() && !hasSortKey_)
        throw Failure(QStringLiteral("no such table: %1").arg(tableName_));
}

// A view bound to a missing field would take typing that could never be stored.
void DataSet::requireColumns() const
{
    for (const QString& field : requiredFields_) {
        if (!fieldNames_.contains(field))
            throw Failure(QStringLiteral("The table %1 has no field \"%2\", so it cannot be used").arg(tableName_, field));
    }
}

QList<DataSet::Row> DataSet::readRows()
{
    // Rows that another program added without a key come last, in the order they were added.
    const QString order = hasSortKey_ ? QStringLiteral("\"SortKey\" IS NULL, \"SortKey\", rowid") : QStringLiteral("rowid");
    QSqlQuery query(database_.connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY %3").arg(selectList(), quoted(tableName_), order)))
        failWith(query.lastError());
    QList<Row> rows;
    while (query.next()) {
        rows.append(rowFrom(query, query.value(0).toLongLong(), 1));
        rows.back().key = newKey();
    }
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

DataSet::RowKey DataSet::currentRowKey() const
{
    return current_ < 0 ? 0 : rows_[current_].key;
}

int DataSet::indexOf(RowKey key) const
{
    for (int row = 0; row < rowCount(); ++row)
        if (rows_[row].key == key)
            return row;
    return -1;
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
    Q_ASSERT(row >= 0 && row < rowCount() && field >= 0 && field < fieldNames_.size());
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
    change([this] { startEditing(); });
}

// On an empty table editing means a new row.
void DataSet::startEditing()
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
    change([&] {
        startEditing();
        pending_[field] = normalised(value);
        noteDataChanged(current_);
    });
}

void DataSet::first()
{
    change([this] { moveToEnd(End::First); });
}

void DataSet::prior()
{
    if (!isOpen())
        return;
    change([this] {
        const int target = settle(current_ - 1);
        if (bof_)
            return;
        if (target >= 0)
            setCursor(target, false, false);
        else
            setCursor(0, true, false);
    });
}

void DataSet::next()
{
    if (!isOpen())
        return;
    change([this] {
        const int target = settle(current_ + 1);
        if (eof_)
            return;
        if (target < rowCount())
            setCursor(target, false, false);
        else
            setCursor(rowCount() - 1, false, true);
    });
}

void DataSet::last()
{
    change([this] { moveToEnd(End::Last); });
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
    change([this, row] {
        const int target = settle(row);
        if (!rows_.isEmpty())
            setCursor(qBound(0, target, rowCount() - 1), false, false);
    });
}

void DataSet::insert()
{
    if (!isOpen())
        return;
    change([this] { insertRowAt(qMax(0, settle(current_))); });
}

void DataSet::append()
{
    if (!isOpen())
        return;
    change([this] {
        settle(current_);
        insertRowAt(rowCount());
    });
}

void DataSet::remove()
{
    if (!isOpen() || current_ < 0)
        return;
    change([this] {
        if (state_ != State::Insert)
            deleteStoredRow(rows_[current_].rowId);
        removeCurrentRow();
    });
}

void DataSet::remove(RowKey key)
{
    if (!isOpen())
        return;
    const int row = indexOf(key);
    if (row < 0)
        return;
    if (row == current_) {
        remove();
        return;
    }
    change([this, row] { removeOtherRow(row); });
}

void DataSet::deleteStoredRow(qint64 rowId)
{
    Q_ASSERT(rowId != 0);
    QSqlQuery query(database_.connection());
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(tableName_)));
    query.addBindValue(rowId);
    if (!query.exec())
        failWith(query.lastError());
}

// Only the current row can be unstored, so another row is always in the file.
void DataSet::removeOtherRow(int row)
{
    Q_ASSERT(row != current_ && rows_[row].rowId != 0);
    deleteStoredRow(rows_[row].rowId);
    rows_.removeAt(row);
    if (row < current_) {
        --current_;
        noteCurrentRowChanged();
    }
    announceRowList(&DataSet::rowRemoved, row);
}

void DataSet::cancel()
{
    change([this] {
        if (state_ == State::Insert)
            removeCurrentRow();
        else if (state_ == State::Edit)
            endEdit();
    });
}

void DataSet::endEdit()
{
    pending_.clear();
    setState(State::Browse);
    noteDataChanged(current_);
}

void DataSet::post()
{
    change([this] {
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
    });
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

// A value typed into a whole-number field is checked here, so the user reads what the field accepts
// rather than the database's own words.
QVariant DataSet::validated(int field, const QVariant& value) const
{
    if (value.isNull() || !integerFields_[field])
        return value;
    bool isNumber = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&isNumber);
    if (!isNumber || number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        throw Failure(QStringLiteral("%1 must be a whole number from -2147483648 to 2147483647.").arg(fieldNames_[field]));
    return number;
}

// Optimistic locking: the row is written only when the file still holds what was read from it.
void DataSet::storeEdit()
{
    Row& row = rows_[current_];
    QStringList assignments;
    QList<QVariant> changed;
    for (int field = 0; field < fieldNames_.size(); ++field) {
        if (sameValue(pending_[field], row.values[field]))
            continue;
        assignments.append(quoted(fieldNames_[field]) + QStringLiteral(" = ?"));
        changed.append(validated(field, pending_[field]));
    }
    QStringList unchangedSinceRead{QStringLiteral("rowid = ?")};
    for (const QString& field : fieldNames_)
        unchangedSinceRead.append(quoted(field) + QStringLiteral(" IS ?"));
    QSqlQuery query(database_.connection());
    query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                      .arg(quoted(tableName_), assignments.join(QStringLiteral(", ")),
                           unchangedSinceRead.join(QStringLiteral(" AND "))));
    for (const QVariant& value : changed)
        query.addBindValue(value);
    query.addBindValue(row.rowId);
    for (const QVariant& value : row.values)
        query.addBindValue(value);
    if (!query.exec())
        failWith(query.lastError());
    if (query.numRowsAffected() == 0)
        throwStoreConflict();
    row = withKey(readStoredRow(row.rowId), row.key);
}

// The row is read again, so storing the same change once more knowingly replaces the other program's values.
void DataSet::throwStoreConflict()
{
    Row& row = rows_[current_];
    row = withKey(readStoredRow(row.rowId), row.key);
    throw Failure(QStringLiteral("The row was changed by another program since it was read."));
}

void DataSet::storeNewRow()
{
    QStringList columns;
    QStringList placeholders;
    QList<QVariant> values;
    for (int field = 0; field < fieldNames_.size(); ++field) {
        const QString& name = fieldNames_[field];
        columns.append(quoted(name));
        placeholders.append(name == numberingField_
                                ? QStringLiteral("coalesce(?, (SELECT coalesce(max(%1), 0) + 1 FROM %2))")
                                      .arg(quoted(name), quoted(tableName_))
                                : QStringLiteral("?"));
        values.append(validated(field, pending_[field]));
    }
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
    rows_[current_] = withKey(readStoredRow(query.lastInsertId().toLongLong()), rows_[current_].key);
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
    const bool stateChanges = state_ != State::Insert;
    rows_.insert(row, Row{0, QVariant(), emptyValues(), newKey()});
    pending_ = emptyValues();
    state_ = State::Insert;
    current_ = row;
    bof_ = false;
    eof_ = false;
    announceRowList(&DataSet::rowInserted, row);
    if (stateChanges)
        noteStateChanged();
    noteCurrentRowChanged();
}

// The cursor stays at the same place, which now shows the row after the removed one (or the new last row).
void DataSet::removeCurrentRow()
{
    Q_ASSERT(current_ >= 0);
    const int row = current_;
    if (state_ != State::Browse)
        noteStateChanged();
    rows_.removeAt(row);
    pending_.clear();
    state_ = State::Browse;
    current_ = rows_.isEmpty() ? -1 : qMin(row, rowCount() - 1);
    bof_ = rows_.isEmpty();
    eof_ = rows_.isEmpty();
    announceRowList(&DataSet::rowRemoved, row);
    noteCurrentRowChanged();
}

void DataSet::setCursor(int row, bool bof, bool eof)
{
    if (row == current_ && bof == bof_ && eof == eof_)
        return;
    current_ = row;
    bof_ = bof;
    eof_ = eof;
    noteCurrentRowChanged();
}

void DataSet::setState(State state)
{
    if (state == state_)
        return;
    state_ = state;
    noteStateChanged();
}

QList<QVariant> DataSet::emptyValues() const
{
    return QList<QVariant>(fieldNames_.size());
}
