#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

class DataSet;

// A grid's view of a data set: one column per listed field, the current row showing its pending values,
// and a marker in the row header for the current row (browsing, editing or new). The data set announces a
// row-list change after making it, so the model keeps its own row count and, inside its begin/end brackets,
// shows the rows as they were before; views must not move the data set while that happens (isChangingRows).
//
// The marker's moves are announced by markerMoved, not headerDataChanged: an item view lays itself out
// afresh at every headerDataChanged, which costs far more than the move itself when a script plays a row
// each millisecond. A receiver repaints the marker's old and new rows and must not move the data set.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString fieldName;
        QString title;
    };

    DataSetModel(DataSet& dataSet, QList<Column> columns, QObject* parent = nullptr);

    DataSet& dataSet() const { return dataSet_; }
    // True between the begin and end of a row-list change, while the views' indexes are being renumbered.
    bool isChangingRows() const { return changingRows_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // previousRow or row is -1 where no row carries the marker.
    void markerMoved(int previousRow, int row);

private:
    void resolveFields();
    void markCurrentRow();
    void reset();
    void insertRow(int row);
    void removeRow(int row);
    // The data set's row shown at a row of the model, -1 for the row being removed.
    int sourceRow(int row) const;

    DataSet& dataSet_;
    QList<Column> columns_;
    QList<int> fields_;
    int markedRow_ = -1;
    int rowCount_ = 0;
    bool changingRows_ = false;
    // While a change is bracketed, rows from shiftFrom_ on are the data set's rows shifted by shiftBy_.
    int shiftFrom_ = 0;
    int shiftBy_ = 0;
};
