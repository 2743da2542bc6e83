#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlQuery;
class ScriptDatabase;

// One table of the script database as the views and the player see it: a snapshot read once at opening,
// one current row shared by everything bound to it, begin and end flags, and a pending edit of the current
// row that is stored before the cursor moves. Failing stores throw Failure and leave the cursor, the state
// and the typed values as they were.
//
// Re-entry: the state (rows, cursor, flags, edit state) is always settled before a signal is emitted.
// - reset, rowInserted and rowRemoved announce a change of the row list that has already happened; their
//   receivers (the table models) may read the data set but must not change it (asserted).
// - currentRowChanged, stateChanged and dataChanged are held back until the outermost call into the data set
//   has finished its work (or failed), then emitted once each; their receivers may read anything and call
//   any function, moves, inserts and deletes included.
// - updateRecordRequested is emitted inside a store or a move, before the pending edit is stored; its
//   receivers hand over what is typed with setValue and call nothing else.
// - A store that the database refuses throws Failure out of the call that stored; callers that are view
//   callbacks report it once control is back in the event loop.
class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Browse, Edit, Insert };
    // Names one row for as long as it is in the data set, whatever moves around it.
    using RowKey = quint64;

    // A new row stored with an empty numberingField gets the number after the table's largest. Opening
    // fails for a table that lacks one of the requiredFields, since what is typed into it could not be kept.
    DataSet(ScriptDatabase& database, QString tableName, QString numberingField, QStringList requiredFields = {},
            QObject* parent = nullptr);

    // Opens the connection when it is not open yet, then reads the table; throws Failure.
    void open();
    bool isOpen() const { return state_ != State::Closed; }
    // Reads the table again after it was changed as a whole, dropping any pending edit; the current row is
    // then the first, as after opening.
    void reread();
    QString tableName() const { return tableName_; }
    const QStringList& fieldNames() const { return fieldNames_; }
    int fieldIndex(const QString& fieldName) const { return fieldNames_.indexOf(fieldName); }

    int rowCount() const { return int(rows_.size()); }
    int currentRow() const { return current_; }  // -1 on an empty or closed table
    // 0 when there is no current row.
    RowKey currentRowKey() const;
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    State state() const { return state_; }
    // The pending values differ from the stored ones (for a new row: any value was entered).
    bool isModified() const;

    // The current row shows its pending values.
    QVariant value(int row, int field) const;
    QVariant fieldValue(const QString& fieldName) const;
    // NULL, an empty table and a closed table read as 0.
    qint32 fieldAsInt(const QString& fieldName) const;

    // Starts editing the current row; on an empty table it inserts a row.
    void edit();
    // An empty text is stored as NULL.
    void setValue(int field, const QVariant& value);

    void first();
    void prior();
    void next();
    void last();
    void moveTo(int row);
    void insert();
    void append();
    void remove();
    // Removes the row the key names, wherever the cursor is now; nothing when that row is gone already.
    void remove(RowKey row);
    // Drops the pending edit, or the new row.
    void cancel();
    // Stores the pending edit, if any value changed; a new row without any value is dropped.
    void post();

signals:
    void reset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void dataChanged(int row);
    // The current row or its begin or end flag changed.
    void currentRowChanged();
    void stateChanged();
    // Bound views hand over what is typed but not yet taken into the row.
    void updateRecordRequested();

private:
    struct Row {
        qint64 rowId = 0;  // 0: not stored yet
        QVariant sortKey;
        QList<QVariant> values;
        RowKey key = 0;
    };

    void readColumns();
    void requireColumns() const;
    QVariant validated(int field, const QVariant& value) const;
    QList<Row> readRows();
    void showRows(QList<Row> rows);
    QString selectList() const;
    Row rowFrom(const QSqlQuery& query, qint64 rowId, int firstColumn) const;
    void requireField(int field) const;
    int settle(int target);
    void storeEdit();
    [[noreturn]] void throwStoreConflict();
    void storeNewRow();
    double sortKeyForNewRow();
    void renumberSortKeys();
    Row readStoredRow(qint64 rowId) const;
    static Row withKey(Row row, RowKey key)
    {
        row.key = key;
        return row;
    }
    [[noreturn]] void throwRowGone() const;
    void insertRowAt(int row);
    void removeCurrentRow();
    void deleteStoredRow(qint64 rowId);
    void removeOtherRow(int row);
    void startEditing();
    int indexOf(RowKey key) const;
    RowKey newKey() { return ++lastKey_; }
    void checkInvariants() const;

    // Runs one public operation; the held-back signals go out when the outermost one ends.
    template <typename Operation>
    void change(Operation&& operation);
    void emitHeldBackSignals();
    void noteCurrentRowChanged() { currentRowNoticed_ = true; }
    void noteStateChanged() { stateNoticed_ = true; }
    void noteDataChanged(int row);
    // Emits a row-list signal, during which the data set must not be changed.
    template <typename... Arguments>
    void announceRowList(void (DataSet::*signal)(Arguments...), Arguments... arguments);
    void endEdit();
    void setCursor(int row, bool bof, bool eof);
    enum class End { First, Last };
    void moveToEnd(End end);
    void setState(State state);
    QList<QVariant> emptyValues() const;

    ScriptDatabase& database_;
    QString tableName_;
    QString numberingField_;
    QStringList requiredFields_;
    QStringList fieldNames_;
    QList<bool> integerFields_;
    bool hasSortKey_ = false;
    QList<Row> rows_;
    QList<QVariant> pending_;
    State state_ = State::Closed;
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    RowKey lastKey_ = 0;
    int operationDepth_ = 0;
    int rowListAnnouncements_ = 0;
    bool currentRowNoticed_ = false;
    bool stateNoticed_ = false;
    QList<RowKey> changedRows_;
};
