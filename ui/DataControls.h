#pragma once

#include "core/DeferredUpdate.h"

#include <QLineEdit>
#include <QList>
#include <QString>
#include <QTableView>
#include <QWidget>

#include <functional>

class DataSet;
class DataSetModel;
class QToolButton;

// Asks "Delete record?" before a row is deleted from a grid or a navigator; true means delete.
using DeleteConfirmation = std::function<bool()>;
bool confirmDelete();
// Replaces the question box, for tests; an empty function restores it.
void setDeleteConfirmation(DeleteConfirmation confirmation);
// Asks, then deletes the row that was current when the question was asked.
void deleteAfterConfirmation(DataSet& dataSet);

// A grid over a data set whose current cell follows the data set's current row and the other way round.
// The editable grid takes typing, Escape (cell, then row), Insert, Down on the last row (append) and
// Ctrl+Delete; the read-only grid only moves the current row.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    struct Column {
        QString fieldName;
        QString title;
        int width;
    };
    enum class Editing { ReadOnly, Editable };

    DBGrid(DataSet& dataSet, const QList<Column>& columns, Editing editing, QWidget* parent = nullptr);

    DataSet& dataSet() const { return dataSet_; }
    void keyboardSearch(const QString& search) override;
    // While deferred, the grid follows the data set's current row when told to catch up, and at once when
    // the user presses a key or a mouse button on it.
    void setUpdatesDeferred(bool deferred) { following_.setDeferred(deferred); }
    void catchUp() { following_.flush(); }

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    bool handleEditingKey(const QKeyEvent* event);
    void followCurrentRow();
    void handOverTyping();

    DataSet& dataSet_;
    DataSetModel* model_;
    bool editable_;
    DeferredUpdate following_{[this] { followCurrentRow(); }};
};

// Buttons that move the data set's cursor, insert and delete rows. Each button has an objectName
// ("First", "Prior", "Next", "Last", "Insert", "Delete") and a "hint" property; tooltips are not used.
class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Insert, Delete };

    DBNavigator(DataSet& dataSet, const QList<Button>& buttons, QWidget* parent = nullptr);

    QToolButton* button(Button which) const;

private:
    void press(Button which);
    void updateButtons();

    DataSet& dataSet_;
    QList<std::pair<Button, QToolButton*>> buttons_;
};

// An edit box bound to one field of the data set's current row. Typing starts editing the row; the text
// is taken into the row when the box is left or before the row is stored. Escape first undoes the typing,
// pressed again it drops the row's changes.
class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    DBEdit(DataSet& dataSet, QString fieldName, QWidget* parent = nullptr);
    // While deferred, the box shows a new current row when told to catch up, and at once when the user
    // presses a key or a mouse button on it.
    void setUpdatesDeferred(bool deferred) { showingRow_.setDeferred(deferred); }
    void catchUp() { showingRow_.flush(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void startEditing();
    void showField();
    void handOverTyping();

    DataSet& dataSet_;
    QString fieldName_;
    bool keepTyping_ = false;
    DeferredUpdate showingRow_{[this] { showField(); }};
};
