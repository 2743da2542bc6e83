#include "ui/DataControls.h"

#include "script/DataSet.h"
#include "script/DataSetModel.h"
#include "ui/ConfirmBox.h"
#include "ui/Handlers.h"
#include "ui/Pictures.h"
#include "ui/SteadyScrollBar.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QToolButton>

namespace {

DeleteConfirmation& replacedConfirmation()
{
    static DeleteConfirmation confirmation;
    return confirmation;
}

constexpr int GlyphSize = 16;

// The navigator's small glyphs, drawn in the given colour.
QPixmap navigatorGlyph(DBNavigator::Button button, const QColor& colour)
{
    QPixmap pixmap(GlyphSize, GlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const auto triangle = [&painter](int tipX, int baseX) {
        const QPoint points[] = {{tipX, 8}, {baseX, 3}, {baseX, 13}};
        painter.drawPolygon(points, 3);
    };
    switch (button) {
    case DBNavigator::Button::First:
        painter.drawRect(4, 3, 2, 11);
        triangle(6, 11);
        break;
    case DBNavigator::Button::Prior:
        triangle(5, 10);
        break;
    case DBNavigator::Button::Next:
        triangle(11, 6);
        break;
    case DBNavigator::Button::Last:
        triangle(10, 5);
        painter.drawRect(10, 3, 2, 11);
        break;
    case DBNavigator::Button::Insert:
        painter.drawRect(3, 7, 10, 2);
        painter.drawRect(7, 3, 2, 10);
        break;
    case DBNavigator::Button::Delete:
        painter.drawRect(3, 7, 10, 2);
        break;
    }
    return pixmap;
}

// Black, and a clearly lighter grey while the button is unavailable.
QIcon navigatorIcon(DBNavigator::Button button)
{
    return pictures::sharpIcon(navigatorGlyph(button, Qt::black), navigatorGlyph(button, QColor(160, 160, 160)));
}

struct ButtonText {
    const char* objectName;
    const char* hint;
};

ButtonText buttonText(DBNavigator::Button button)
{
    switch (button) {
    case DBNavigator::Button::First:
        return {"First", "First record"};
    case DBNavigator::Button::Prior:
        return {"Prior", "Prior record"};
    case DBNavigator::Button::Next:
        return {"Next", "Next record"};
    case DBNavigator::Button::Last:
        return {"Last", "Last record"};
    case DBNavigator::Button::Insert:
        return {"Insert", "Insert record"};
    case DBNavigator::Button::Delete:
        return {"Delete", "Delete record"};
    }
    return {"", ""};
}

QList<DataSetModel::Column> modelColumns(const QList<DBGrid::Column>& columns)
{
    QList<DataSetModel::Column> result;
    for (const DBGrid::Column& column : columns)
        result.append({column.fieldName, column.title});
    return result;
}

// The row header holds only the current-row marker, at a fixed width: its size never depends on its texts,
// so it does not measure them, and a moved marker repaints just the two rows concerned.
class RowMarkerHeader : public QHeaderView {
public:
    explicit RowMarkerHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

    QSize sizeHint() const override { return {minimumWidth(), defaultSectionSize()}; }

    void repaintRows(int previousRow, int row)
    {
        for (const int marked : {previousRow, row})
            if (marked >= 0)
                updateSection(marked);
    }
};

bool isUntouchedNewRow(const DataSet& dataSet)
{
    return dataSet.state() == DataSet::State::Insert && !dataSet.isModified();
}

}  // namespace

bool confirmDelete()
{
    return replacedConfirmation() ? replacedConfirmation()() : confirmOkCancel(QStringLiteral("Delete record?"));
}

void setDeleteConfirmation(DeleteConfirmation confirmation)
{
    replacedConfirmation() = std::move(confirmation);
}

// The question's box runs a nested event loop in which the player may move on: the row deleted is the one
// the user was asked about, if it is still there.
void deleteAfterConfirmation(DataSet& dataSet)
{
    const DataSet::RowKey asked = dataSet.currentRowKey();
    if (confirmDelete())
        dataSet.remove(asked);
}

DBGrid::DBGrid(DataSet& dataSet, const QList<Column>& columns, Editing editing, QWidget* parent)
    : QTableView(parent),
      dataSet_(dataSet),
      model_(new DataSetModel(dataSet, modelColumns(columns), this)),
      editable_(editing == Editing::Editable)
{
    auto* rowHeader = new RowMarkerHeader(this);
    setVerticalHeader(rowHeader);
    setHorizontalScrollBar(new SteadyScrollBar(Qt::Horizontal));
    setVerticalScrollBar(new SteadyScrollBar(Qt::Vertical));
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(editable_ ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::DoubleClicked
                              : QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    const int textHeight = fontMetrics().height();
    // The row header is only the current-row marker, as narrow as the classic indicator column.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(textHeight + 4);
    verticalHeader()->setFixedWidth(qRound(textHeight * 11.0 / 13.0));
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsClickable(false);
    for (int column = 0; column < columns.size(); ++column)
        setColumnWidth(column, columns[column].width);

    connect(&dataSet_, &DataSet::currentRowChanged, this, [this] { following_.request(); });
    connect(&dataSet_, &DataSet::updateRecordRequested, this, &DBGrid::handOverTyping);
    connect(model_, &DataSetModel::markerMoved, rowHeader, &RowMarkerHeader::repaintRows);
}

void DBGrid::keyboardSearch(const QString&)
{
    // Typing never moves to a matching row: in the editable grid it edits, in the reference grid it does nothing.
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    const int row = current.row();
    // While rows come and go the view renumbers its indexes; the data set has already placed its cursor.
    if (!current.isValid() || model_->isChangingRows() || row == dataSet_.currentRow())
        return;
    runHandlerReportingLater([this, row] { dataSet_.moveTo(row); });
    // A refused store keeps the data set where it was; the grid goes back there once this event is over.
    if (dataSet_.currentRow() != currentIndex().row())
        QMetaObject::invokeMethod(this, &DBGrid::followCurrentRow, Qt::QueuedConnection);
}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (index.isValid() && index.row() != dataSet_.currentRow())
        return false;
    return QTableView::edit(index, trigger, event);
}

bool DBGrid::viewportEvent(QEvent* event)
{
    // The user acts on the row the grid shows.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        following_.flush();
    return QTableView::viewportEvent(event);
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    following_.flush();
    if (editable_ && handleEditingKey(event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool DBGrid::handleEditingKey(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (modifiers != Qt::NoModifier)
            return false;
        dataSet_.cancel();
        return true;
    case Qt::Key_Insert:
        if (modifiers != Qt::NoModifier)
            return false;
        runHandler([this] { dataSet_.insert(); });
        return true;
    case Qt::Key_Delete:
        if (modifiers != Qt::ControlModifier)
            return false;
        if (dataSet_.rowCount() > 0)
            runHandler([this] { deleteAfterConfirmation(dataSet_); });
        return true;
    case Qt::Key_Down:
        if (modifiers != Qt::NoModifier || dataSet_.currentRow() < dataSet_.rowCount() - 1)
            return false;
        // A new row that is still empty is not followed by another one.
        if (!isUntouchedNewRow(dataSet_))
            runHandler([this] { dataSet_.append(); });
        return true;
    default:
        return false;
    }
}

void DBGrid::followCurrentRow()
{
    const int row = dataSet_.currentRow();
    if (row < 0 || currentIndex().row() == row)
        return;
    setCurrentIndex(model_->index(row, qMax(0, currentIndex().column())));
}

void DBGrid::handOverTyping()
{
    if (QWidget* editor = indexWidget(currentIndex()))
        commitData(editor);
}

DBNavigator::DBNavigator(DataSet& dataSet, const QList<Button>& buttons, QWidget* parent)
    : QWidget(parent), dataSet_(dataSet)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const Button which : buttons) {
        auto* button = new QToolButton(this);
        const ButtonText text = buttonText(which);
        button->setObjectName(QString::fromLatin1(text.objectName));
        button->setProperty("hint", QString::fromLatin1(text.hint));
        button->setIcon(navigatorIcon(which));
        button->setIconSize(QSize(GlyphSize, GlyphSize));
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, [this, which] { press(which); });
        layout->addWidget(button);
        buttons_.append({which, button});
    }
    setFocusPolicy(Qt::NoFocus);
    connect(&dataSet_, &DataSet::currentRowChanged, this, &DBNavigator::updateButtons);
    connect(&dataSet_, &DataSet::stateChanged, this, &DBNavigator::updateButtons);
    updateButtons();
}

QToolButton* DBNavigator::button(Button which) const
{
    for (const auto& [kind, button] : buttons_)
        if (kind == which)
            return button;
    return nullptr;
}

void DBNavigator::press(Button which)
{
    runHandler([this, which] {
        switch (which) {
        case Button::First:
            dataSet_.first();
            break;
        case Button::Prior:
            dataSet_.prior();
            break;
        case Button::Next:
            dataSet_.next();
            break;
        case Button::Last:
            dataSet_.last();
            break;
        case Button::Insert:
            dataSet_.insert();
            break;
        case Button::Delete:
            deleteAfterConfirmation(dataSet_);
            break;
        }
    });
}

void DBNavigator::updateButtons()
{
    const bool open = dataSet_.isOpen();
    for (const auto& [kind, button] : buttons_) {
        switch (kind) {
        case Button::First:
        case Button::Prior:
            button->setEnabled(open && !dataSet_.bof());
            break;
        case Button::Next:
        case Button::Last:
            button->setEnabled(open && !dataSet_.eof());
            break;
        case Button::Insert:
            button->setEnabled(open);
            break;
        case Button::Delete:
            button->setEnabled(open && !(dataSet_.bof() && dataSet_.eof()));
            break;
        }
    }
}

DBEdit::DBEdit(DataSet& dataSet, QString fieldName, QWidget* parent)
    : QLineEdit(parent), dataSet_(dataSet), fieldName_(std::move(fieldName))
{
    connect(this, &QLineEdit::textEdited, this, &DBEdit::startEditing);
    connect(this, &QLineEdit::editingFinished, this, &DBEdit::handOverTyping);
    connect(&dataSet_, &DataSet::updateRecordRequested, this, &DBEdit::handOverTyping);
    connect(&dataSet_, &DataSet::currentRowChanged, this, [this] { showingRow_.request(); });
    connect(&dataSet_, &DataSet::stateChanged, this, &DBEdit::showField);
    connect(&dataSet_, &DataSet::dataChanged, this, [this](int row) {
        if (row == dataSet_.currentRow() && !isModified())
            showField();
    });
    showField();
}

void DBEdit::mousePressEvent(QMouseEvent* event)
{
    showingRow_.flush();
    QLineEdit::mousePressEvent(event);
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    // The user types over the row the box shows.
    showingRow_.flush();
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (isModified())
            showField();
        else
            dataSet_.cancel();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DBEdit::startEditing()
{
    // On an empty table this inserts the row being typed into; what is typed so far stays in the box.
    const QScopedValueRollback<bool> keep(keepTyping_, true);
    dataSet_.edit();
}

void DBEdit::showField()
{
    if (keepTyping_)
        return;
    const int field = dataSet_.fieldIndex(fieldName_);
    const int row = dataSet_.currentRow();
    setReadOnly(!dataSet_.isOpen());
    setText(field < 0 || row < 0 ? QString() : dataSet_.value(row, field).toString());
    setModified(false);
}

void DBEdit::handOverTyping()
{
    const int field = dataSet_.fieldIndex(fieldName_);
    if (!isModified() || field < 0)
        return;
    // Handed over once: later typing in the grid must not be overwritten by this box's older text.
    setModified(false);
    dataSet_.setValue(field, text());
}
