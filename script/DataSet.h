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
class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Browse, Edit, Insert };

    // A new row stored with an empty numberingField gets the number after the table's largest.
    DataSet(ScriptDatabase& database, QString tableName, QString numberingField, QObject* parent = nullptr);

    // Opens the connection when it is not open yet, then reads the table; throws Failure.
    void open();
    bool isOpen() const { return state_ != State::Closed; }
    QString tableName() const { return tableName_; }
    const QStringList& fieldNames() const { return fieldNames_; }
    int fieldIndex(const QString& fieldName) const { return fieldNames_.indexOf(fieldName); }

    int rowCount() const { return int(rows_.size()); }
    int currentRow() const { return current_; }  // -1 on an empty or closed table
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
    // Drops the pending edit, or the new row.
    void cancel();
    // Stores the pending edit, if any value changed; a new row without any value is dropped.
    void post();

signals:
    void aboutToReset();
    void reset();
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void aboutToRemoveRow(int row);
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
    };

    void readColumns();
    QList<Row> readRows() const;
    QString selectList() const;
    Row rowFrom(const QSqlQuery& query, qint64 rowId, int firstColumn) const;
    void requireField(int field) const;
    int settle(int target);
    void storeEdit();
    void storeNewRow();
    double sortKeyForNewRow();
    void renumberSortKeys();
    Row readStoredRow(qint64 rowId) const;
    [[noreturn]] void throwRowGone() const;
    void insertRowAt(int row);
    void removeCurrentRow();
    void endEdit();
    void setCursor(int row, bool bof, bool eof);
    enum class End { First, Last };
    void moveToEnd(End end);
    void setState(State state);
    QList<QVariant> emptyValues() const;

    ScriptDatabase& database_;
    QString tableName_;
    QString numberingField_;
    QStringList fieldNames_;
    bool hasSortKey_ = false;
    QList<Row> rows_;
    QList<QVariant> pending_;
    State state_ = State::Closed;
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
};
