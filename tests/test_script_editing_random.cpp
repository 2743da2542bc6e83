// Seeded random sequences of what a user does to the script (typing in the grid and the edit boxes, Escape,
// Insert, Down, Ctrl+Delete, the navigator, clicks on rows, player steps), driven through the real grid,
// navigator and edit boxes over a real database file, and checked after every step against a plain model of
// the editing rules and, after every store, against the file itself.
//
// QUILLET_RANDOM_SECONDS sets how long it runs (default 4); QUILLET_RANDOM_SEED replays one sequence.

#include "test_dataset_fixture.h"

#include <memory>

#include "core/Failure.h"
#include "ui/DataControls.h"
#include "ui/ErrorReport.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QToolButton>

#include <csignal>
#include <cstdio>
#include <limits>
#include <optional>
#include <unistd.h>

namespace {

using Button = DBNavigator::Button;
constexpr int FieldCount = 3;  // ID, Script Command, Data
const QString Fields[FieldCount] = {QStringLiteral("ID"), QStringLiteral("Script Command"), QStringLiteral("Data")};

// ---------------------------------------------------------------------------------------------------------
// The reference model: rows as stored, one current row with begin and end flags, the edit state with the
// values typed into the row, and the grid's open cell editor. Rows are named by a serial so that moves
// relative to a new row that goes away land where the user expects.

using Stored = std::optional<qint64>;
using Typed = std::optional<QString>;

struct ModelRow {
    int serial;
    bool stored;
    std::array<Stored, FieldCount> values;
};

struct CellEditor {
    int column;
    QString text;
};

class EditingModel {
public:
    enum class State { Browse, Edit, Insert };

    explicit EditingModel(const QList<Values>& rows)
    {
        for (const Values& row : rows)
            rows_.push_back({nextSerial_++, true, {row[0].toLongLong(), row[1].toLongLong(), row[2].toLongLong()}});
        current_ = rows_.empty() ? -1 : 0;
        bof_ = true;
        eof_ = rows_.empty();
    }

    // Each operation returns false when the store was refused (one error report, nothing else changed).
    bool first() { return settleThen([this] { toEnd(true); }); }
    bool last() { return settleThen([this] { toEnd(false); }); }
    bool next()
    {
        const int target = current_ + 1 < rowCount() ? rows_[current_ + 1].serial : -1;
        return settleThen([this, target] {
            if (eof_)
                return;
            if (target >= 0)
                place(indexOf(target), false, false);
            else
                place(rowCount() - 1, false, true);
        });
    }
    bool prior()
    {
        const int target = current_ > 0 ? rows_[current_ - 1].serial : -1;
        return settleThen([this, target] {
            if (bof_)
                return;
            if (target >= 0)
                place(indexOf(target), false, false);
            else
                place(0, true, false);
        });
    }
    bool moveTo(int row)
    {
        if (row == current_)
            return true;
        const int target = rows_[row].serial;
        return settleThen([this, target] { place(indexOf(target), false, false); });
    }
    // The new row takes the current row's place, also when that was an untouched new row that goes away.
    bool insert()
    {
        const int at = std::max(0, current_);
        return settleThen([this, at] { insertAt(std::min(at, rowCount())); });
    }
    bool append()
    {
        return settleThen([this] { insertAt(rowCount()); });
    }
    void remove()
    {
        if (current_ < 0)
            return;
        const int row = current_;
        rows_.erase(rows_.begin() + row);
        state_ = State::Browse;
        current_ = rows_.empty() ? -1 : std::min(row, rowCount() - 1);
        bof_ = eof_ = rows_.empty();
        editor_.reset();
    }
    void cancel()
    {
        if (state_ == State::Insert)
            remove();
        else if (state_ == State::Edit)
            state_ = State::Browse;
    }
    // A value taken into the current row from a cell or an edit box.
    void setValue(int field, const QString& text)
    {
        startEditing();
        pending_[field] = text.isEmpty() ? Typed() : Typed(text);
    }
    void startEditing()
    {
        if (state_ != State::Browse)
            return;
        if (rows_.empty()) {
            insertAt(0);
            return;
        }
        for (int field = 0; field < FieldCount; ++field)
            pending_[field] = textOf(rows_[current_].values[field]);
        state_ = State::Edit;
    }

    // The grid's cell editor: typing opens it on the current cell; leaving the cell takes its text into the
    // row; a store hands its text over too but leaves it open until the current row changes.
    std::optional<CellEditor>& editor() { return editor_; }
    void handOverEditor()
    {
        if (editor_)
            setValue(editor_->column, editor_->text);
    }

    int rowCount() const { return int(rows_.size()); }
    int currentRow() const { return current_; }
    int currentSerial() const { return current_ < 0 ? -1 : rows_[current_].serial; }
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    State state() const { return state_; }
    QString shown(int row, int field) const
    {
        if (row == current_ && state_ != State::Browse)
            return pending_[field].value_or(QString());
        return textOf(rows_[row].values[field]).value_or(QString());
    }
    QList<Values> storedRows() const
    {
        QList<Values> rows;
        for (const ModelRow& row : rows_) {
            if (!row.stored)
                continue;
            Values values;
            for (const Stored& value : row.values)
                values.append(value ? QVariant(*value) : QVariant());
            rows.append(values);
        }
        return rows;
    }

private:
    static Typed textOf(const Stored& value) { return value ? Typed(QString::number(*value)) : Typed(); }

    static std::optional<Stored> accepted(const Typed& typed)
    {
        if (!typed)
            return Stored();
        bool number = false;
        const qlonglong value = typed->trimmed().toLongLong(&number);
        if (!number || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
            return std::nullopt;
        return Stored(value);
    }

    int indexOf(int serial) const
    {
        for (int row = 0; row < rowCount(); ++row)
            if (rows_[row].serial == serial)
                return row;
        return -1;
    }

    // The pending row is stored (or dropped, when new and untouched) before the move runs.
    template <typename Move>
    bool settleThen(Move move)
    {
        handOverEditor();
        if (!settle())
            return false;
        const int before = currentSerial();
        move();
        // A cell editor that stays open shows the row's values as they now are.
        if (currentSerial() != before)
            editor_.reset();
        else if (editor_)
            editor_->text = shown(current_, editor_->column);
        return true;
    }

    bool settle()
    {
        if (state_ == State::Browse)
            return true;
        ModelRow& row = rows_[current_];
        std::array<Stored, FieldCount> values = row.values;
        bool changed = false;
        for (int field = 0; field < FieldCount; ++field) {
            if (state_ == State::Edit ? pending_[field] == textOf(row.values[field]) : !pending_[field])
                continue;
            const std::optional<Stored> value = accepted(pending_[field]);
            if (!value)
                return false;
            values[field] = *value;
            changed = true;
        }
        if (state_ == State::Insert && !changed) {
            remove();
            return true;
        }
        if (state_ == State::Insert && !values[0]) {
            Stored largest;
            for (const ModelRow& other : rows_)
                if (other.stored && other.values[0])
                    largest = std::max(largest.value_or(*other.values[0]), *other.values[0]);
            values[0] = largest.value_or(0) + 1;
        }
        row.values = values;
        row.stored = true;
        state_ = State::Browse;
        return true;
    }

    void toEnd(bool first)
    {
        if (rows_.empty())
            place(-1, true, true);
        else if (first)
            place(0, true, false);
        else
            place(rowCount() - 1, false, true);
    }

    void place(int row, bool bof, bool eof)
    {
        current_ = row;
        bof_ = bof;
        eof_ = eof;
    }

    void insertAt(int row)
    {
        rows_.insert(rows_.begin() + row, ModelRow{nextSerial_++, false, {}});
        pending_ = {};
        state_ = State::Insert;
        editor_.reset();
        place(row, false, false);
    }

    std::vector<ModelRow> rows_;
    std::array<Typed, FieldCount> pending_;
    State state_ = State::Browse;
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    int nextSerial_ = 1;
    std::optional<CellEditor> editor_;
};

// ---------------------------------------------------------------------------------------------------------
// Operations, as plain data so that a failing sequence can be replayed and shortened.

enum class Kind {
    TypeInCell,
    LeaveCell,
    Escape,
    InsertKey,
    DownKey,
    DeleteKeyOk,
    DeleteKeyCancel,
    Navigator,
    NavigatorDeleteCancel,
    ClickRow,
    EditBox,
    EditBoxEscape,
    PlayerStep,
};
constexpr int KindCount = int(Kind::PlayerStep) + 1;

struct Operation {
    Kind kind;
    int number;  // a row, a column, a button or a field, taken modulo what is there
    QString text;
};

QString describe(const Operation& operation)
{
    static const char* const names[KindCount] = {"type in cell", "leave cell", "Escape", "Insert", "Down",
                                                 "Ctrl+Delete, OK", "Ctrl+Delete, Cancel", "navigator",
                                                 "navigator delete, Cancel", "click row", "edit box",
                                                 "Escape in edit box", "player step"};
    return QStringLiteral("%1 %2 '%3'").arg(QLatin1String(names[int(operation.kind)])).arg(operation.number).arg(operation.text);
}

Operation randomOperation(QRandomGenerator& random)
{
    static const char* const texts[] = {"1", "7", "19", "-5", "", " 12 ", "abc", "2147483648", "20"};
    const QString text = QString::fromLatin1(texts[random.bounded(int(std::size(texts)))]);
    return {Kind(random.bounded(KindCount)), int(random.bounded(6)), text};
}

QList<Values> randomRows(QRandomGenerator& random)
{
    QList<Values> rows;
    const int count = random.bounded(5);
    for (int line = 1; line <= count; ++line)
        rows.append({line, random.bounded(1, 21), random.bounded(0, 300)});
    return rows;
}

// ---------------------------------------------------------------------------------------------------------
// One database file for all sequences; each sequence refills its Script table and opens a new data set.

class ScriptFile {
public:
    ScriptFile() : database_(folder_.filePath(QStringLiteral("Quillet2005.db")))
    {
        database_.open();
        QSqlQuery(database_.connection()).exec(QStringLiteral("PRAGMA synchronous = OFF"));
    }

    std::unique_ptr<DataSet> openWith(const QList<Values>& rows)
    {
        QSqlDatabase connection = database_.connection();
        connection.transaction();
        const bool filled = fillScript(connection, rows);
        connection.commit();
        if (!filled)
            qFatal("cannot fill the script table");
        auto script = std::make_unique<DataSet>(database_, QStringLiteral("Script"), QStringLiteral("ID"));
        script->open();
        return script;
    }

    QList<Values> storedRows() const
    {
        QList<Values> rows;
        QSqlQuery query(database_.connection());
        query.exec(QStringLiteral("SELECT \"ID\", \"Script Command\", \"Data\" FROM \"Script\" ORDER BY \"SortKey\""));
        while (query.next()) {
            Values row;
            for (int column = 0; column < FieldCount; ++column)
                row.append(query.isNull(column) ? QVariant() : query.value(column));
            rows.append(row);
        }
        return rows;
    }

private:
    QTemporaryDir folder_;
    ScriptDatabase database_;
};

ScriptFile& scriptFile()
{
    static ScriptFile file;
    return file;
}

// ---------------------------------------------------------------------------------------------------------
// The real views over a real file, driven as a user drives them.

class Views {
public:
    explicit Views(DataSet& script)
        : script_(script),
          grid_(new DBGrid(script_,
                           {{Fields[0], QStringLiteral("Line"), 39},
                            {Fields[1], QStringLiteral("Command"), 77},
                            {Fields[2], QStringLiteral("Data"), 41}},
                           DBGrid::Editing::Editable, &window_)),
          navigator_(new DBNavigator(script_,
                                     {Button::First, Button::Prior, Button::Next, Button::Last, Button::Insert,
                                      Button::Delete},
                                     &window_)),
          commandEdit_(new DBEdit(script_, Fields[1], &window_)),
          dataEdit_(new DBEdit(script_, Fields[2], &window_)),
          tester_(grid_->model(), QAbstractItemModelTester::FailureReportingMode::Warning)
    {
        grid_->setGeometry(0, 0, 201, 136);
        navigator_->setGeometry(0, 140, 192, 25);
        commandEdit_->setGeometry(60, 170, 81, 21);
        dataEdit_->setGeometry(150, 170, 49, 21);
        // Nothing here is looked at: painting would only cost time.
        window_.setUpdatesEnabled(false);
        window_.show();
        QApplication::setActiveWindow(&window_);
        grid_->setFocus();
        if (script_.rowCount() > 0)
            grid_->setCurrentIndex(grid_->model()->index(0, 0));
    }

    DBGrid& grid() { return *grid_; }
    QWidget* cellEditor() const { return grid_->indexWidget(grid_->currentIndex()); }

    void key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }
    // To the open cell editor, or to the grid, which then opens one.
    void gridKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* editor = cellEditor();
        if (!editor)
            grid_->setFocus();
        QTest::keyClick(editor ? editor : grid_, Qt::Key(key), modifiers);
    }
    void typeInCell(const QString& text)
    {
        for (const QChar character : text) {
            QWidget* editor = cellEditor();
            if (!editor)
                grid_->setFocus();
            QTest::keyClicks(editor ? editor : grid_, QString(character));
        }
    }
    void click(int row, int column)
    {
        const QRect cell = grid_->visualRect(grid_->model()->index(row, column));
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void press(Button which) { navigator_->button(which)->click(); }
    QToolButton* button(Button which) { return navigator_->button(which); }
    DBEdit* edit(int field) { return field == 1 ? commandEdit_ : dataEdit_; }

private:
    DataSet& script_;
    QWidget window_;
    DBGrid* grid_;
    DBNavigator* navigator_;
    DBEdit* commandEdit_;
    DBEdit* dataEdit_;
    QAbstractItemModelTester tester_;
};

QStringList modelTesterWarnings;
QtMessageHandler defaultMessageHandler = nullptr;

void collectModelTesterWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg && QByteArray(context.category ? context.category : "") == "qt.modeltest")
        modelTesterWarnings.append(message);
    else
        defaultMessageHandler(type, context, message);
}

volatile std::sig_atomic_t runningSeed = 0;

void reportSeedAndCrash(int signal)
{
    char text[96];
    const int length = std::snprintf(text, sizeof text, "crashed in the sequence of seed %d\n", int(runningSeed));
    (void)!write(STDERR_FILENO, text, std::size_t(length));
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// One sequence: the operations applied to both sides, compared after each. Returns what differed, with the
// number of the step, or nothing.
class Sequence {
public:
    Sequence(const QList<Values>& rows, bool deleteAnswer = true)
        : script_(scriptFile().openWith(rows)), model_(rows), views_(*script_), deleteAnswer_(deleteAnswer)
    {
        setFailurePresenter([this](const QString& text) { reports_.append(text); });
        setDeleteConfirmation([this] { return deleteAnswer_; });
    }
    ~Sequence()
    {
        setFailurePresenter({});
        setDeleteConfirmation({});
    }

    QString run(const QList<Operation>& operations)
    {
        for (int step = 0; step < operations.size(); ++step) {
            apply(operations[step]);
            const QString difference = compare();
            if (!difference.isEmpty())
                return QStringLiteral("after step %1 (%2): %3").arg(step + 1).arg(describe(operations[step]), difference);
        }
        return QString();
    }

private:
    DataSet& script() { return *script_; }

    void expectStore(bool stored)
    {
        if (!stored)
            ++expectedReports_;
        checkFile_ = true;
    }

    void apply(const Operation& operation)
    {
        switch (operation.kind) {
        case Kind::TypeInCell:
            if (model_.rowCount() == 0)
                return;
            views_.typeInCell(operation.text);
            if (operation.text.isEmpty())
                return;
            if (model_.editor())
                model_.editor()->text += operation.text;
            else
                model_.editor() = CellEditor{views_.grid().currentIndex().column(), operation.text};
            return;
        case Kind::LeaveCell:
            if (model_.rowCount() == 0)
                return;
            views_.click(model_.currentRow(), (views_.grid().currentIndex().column() + 1 + operation.number % 2) % FieldCount);
            model_.handOverEditor();
            model_.editor().reset();
            return;
        case Kind::Escape:
            views_.gridKey(Qt::Key_Escape);
            if (model_.editor())
                model_.editor().reset();
            else
                model_.cancel();
            return;
        case Kind::InsertKey:
            if (model_.editor())
                return;
            views_.gridKey(Qt::Key_Insert);
            expectStore(model_.insert());
            return;
        case Kind::DownKey:
            downKey();
            return;
        case Kind::DeleteKeyOk:
        case Kind::DeleteKeyCancel:
            if (model_.editor() || model_.rowCount() == 0)
                return;
            deleteAnswer_ = operation.kind == Kind::DeleteKeyOk;
            views_.gridKey(Qt::Key_Delete, Qt::ControlModifier);
            if (deleteAnswer_) {
                model_.remove();
                checkFile_ = true;
            }
            return;
        case Kind::Navigator:
            navigator(Button(operation.number));
            return;
        case Kind::NavigatorDeleteCancel:
            deleteAnswer_ = false;
            views_.press(Button::Delete);
            return;
        case Kind::ClickRow: {
            if (model_.rowCount() == 0)
                return;
            const int row = operation.number % model_.rowCount();
            views_.click(row, std::max(0, views_.grid().currentIndex().column()));
            model_.handOverEditor();
            model_.editor().reset();
            expectStore(model_.moveTo(row));
            return;
        }
        case Kind::EditBox:
            editBox(1 + operation.number % 2, operation.text);
            return;
        case Kind::EditBoxEscape:
            views_.key(views_.edit(2), Qt::Key_Escape);
            commitEditorOnFocusLoss();
            model_.cancel();
            return;
        case Kind::PlayerStep:
            playerStep();
            return;
        }
    }

    void downKey()
    {
        if (model_.editor() || model_.rowCount() == 0)
            return;
        views_.gridKey(Qt::Key_Down);
        if (model_.currentRow() < model_.rowCount() - 1) {
            expectStore(model_.moveTo(model_.currentRow() + 1));
            return;
        }
        // A new row that is still empty is not followed by another one.
        const bool untouchedNewRow = model_.state() == EditingModel::State::Insert && model_.shown(model_.currentRow(), 0).isEmpty() &&
                                     model_.shown(model_.currentRow(), 1).isEmpty() && model_.shown(model_.currentRow(), 2).isEmpty();
        if (!untouchedNewRow)
            expectStore(model_.append());
    }

    void navigator(Button which)
    {
        if (!views_.button(which)->isEnabled())
            return;
        deleteAnswer_ = true;
        views_.press(which);
        switch (which) {
        case Button::First:
            expectStore(model_.first());
            break;
        case Button::Prior:
            expectStore(model_.prior());
            break;
        case Button::Next:
            expectStore(model_.next());
            break;
        case Button::Last:
            expectStore(model_.last());
            break;
        case Button::Insert:
            expectStore(model_.insert());
            break;
        case Button::Delete:
            model_.remove();
            checkFile_ = true;
            break;
        }
    }

    // Select all, clear, type, Return: the box hands its text to the row. Clearing an empty box is no edit.
    void editBox(int field, const QString& text)
    {
        DBEdit* box = views_.edit(field);
        box->setFocus();
        commitEditorOnFocusLoss();
        const QString before = model_.currentRow() < 0 ? QString() : model_.shown(model_.currentRow(), field);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        if (!before.isEmpty() || !text.isEmpty())
            model_.setValue(field, text);
    }

    void commitEditorOnFocusLoss()
    {
        model_.handOverEditor();
        model_.editor().reset();
    }

    // What the player's tick does to the cursor, with Loop ticked.
    void playerStep()
    {
        bool stored = true;
        try {
            script().next();
            if (script().eof())
                script().first();
        } catch (const Failure&) {
            stored = false;
            reportFailure(QStringLiteral("step"));
        }
        const bool modelStored = model_.next() && (!model_.eof() || model_.first());
        if (stored != modelStored)
            mismatchNote_ = QStringLiteral("the player's step %1 but the model's %2")
                                .arg(stored ? "stored" : "was refused", modelStored ? "stored" : "was refused");
        expectStore(modelStored);
    }

    QString compare()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        if (!mismatchNote_.isEmpty())
            return std::exchange(mismatchNote_, QString());
        if (!modelTesterWarnings.isEmpty())
            return QStringLiteral("model tester: ") + modelTesterWarnings.join(u'\n');
        DataSet& real = script();
        if (real.rowCount() != model_.rowCount() || views_.grid().model()->rowCount() != model_.rowCount())
            return QStringLiteral("rows %1 (grid %2), expected %3")
                .arg(real.rowCount())
                .arg(views_.grid().model()->rowCount())
                .arg(model_.rowCount());
        if (real.currentRow() != model_.currentRow() || real.bof() != model_.bof() || real.eof() != model_.eof())
            return QStringLiteral("cursor %1 bof %2 eof %3, expected %4 %5 %6")
                .arg(real.currentRow())
                .arg(real.bof())
                .arg(real.eof())
                .arg(model_.currentRow())
                .arg(model_.bof())
                .arg(model_.eof());
        if (int(real.state()) - 1 != int(model_.state()))
            return QStringLiteral("state %1, expected %2").arg(int(real.state()) - 1).arg(int(model_.state()));
        if (model_.currentRow() >= 0 && views_.grid().currentIndex().row() != model_.currentRow())
            return QStringLiteral("grid on row %1, expected %2").arg(views_.grid().currentIndex().row()).arg(model_.currentRow());
        for (int row = 0; row < model_.rowCount(); ++row) {
            for (int field = 0; field < FieldCount; ++field) {
                const QString shown = views_.grid().model()->index(row, field).data().toString();
                if (shown != model_.shown(row, field))
                    return QStringLiteral("row %1 field %2 shows '%3', expected '%4'")
                        .arg(row)
                        .arg(field)
                        .arg(shown, model_.shown(row, field));
            }
        }
        if (reports_.size() != expectedReports_)
            return QStringLiteral("%1 error reports (%2), expected %3")
                .arg(reports_.size())
                .arg(reports_.join(QStringLiteral(" / ")))
                .arg(expectedReports_);
        if (std::exchange(checkFile_, false) && scriptFile().storedRows() != model_.storedRows())
            return QStringLiteral("the file holds other rows than the model");
        return QString();
    }

    std::unique_ptr<DataSet> script_;
    EditingModel model_;
    Views views_;
    bool deleteAnswer_;
    int expectedReports_ = 0;
    bool checkFile_ = false;
    QStringList reports_;
    QString mismatchNote_;
};

struct Case {
    QList<Values> rows;
    QList<Operation> operations;
};

Case randomCase(int seed)
{
    QRandomGenerator random{quint32(seed)};
    Case generated{randomRows(random), {}};
    const int length = random.bounded(5, 40);
    for (int step = 0; step < length; ++step)
        generated.operations.append(randomOperation(random));
    return generated;
}

QString runCase(const Case& generated)
{
    modelTesterWarnings.clear();
    Sequence sequence(generated.rows);
    return sequence.run(generated.operations);
}

// Drops operations one at a time for as long as the sequence still fails.
Case shortened(Case failing)
{
    bool shorter = true;
    while (shorter) {
        shorter = false;
        for (int step = int(failing.operations.size()) - 1; step >= 0; --step) {
            Case candidate = failing;
            candidate.operations.removeAt(step);
            if (!runCase(candidate).isEmpty()) {
                failing = candidate;
                shorter = true;
            }
        }
    }
    return failing;
}

}  // namespace

class TestScriptEditingRandom : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        defaultMessageHandler = qInstallMessageHandler(collectModelTesterWarnings);
        std::signal(SIGSEGV, reportSeedAndCrash);
        std::signal(SIGABRT, reportSeedAndCrash);
    }

    void randomEditingFollowsTheRules()
    {
        const int replay = qEnvironmentVariableIntValue("QUILLET_RANDOM_SEED");
        bool timed = false;
        const double seconds = qEnvironmentVariable("QUILLET_RANDOM_SECONDS").toDouble(&timed);
        const qint64 budget = qint64((timed ? seconds : 4.0) * 1000);
        QElapsedTimer clock;
        clock.start();
        int sequences = 0;
        for (int seed = replay ? replay : 1; replay ? sequences < 1 : clock.elapsed() < budget; ++seed, ++sequences) {
            runningSeed = seed;
            const Case generated = randomCase(seed);
            const QString difference = runCase(generated);
            if (difference.isEmpty())
                continue;
            const Case shortest = shortened(generated);
            QStringList steps;
            for (const Operation& operation : shortest.operations)
                steps.append(describe(operation));
            QStringList rows;
            for (const Values& row : shortest.rows)
                rows.append(QStringLiteral("(%1, %2, %3)").arg(row[0].toInt()).arg(row[1].toInt()).arg(row[2].toInt()));
            QFAIL(qPrintable(QStringLiteral("seed %1: %2\nshortest failing sequence over rows %3:\n  %4\n  -> %5")
                                 .arg(seed)
                                 .arg(difference, rows.join(u' '), steps.join(QStringLiteral("\n  ")),
                                      runCase(shortest))));
        }
        qInfo("%d random sequences in %lld ms", sequences, clock.elapsed());
    }
};

QTEST_MAIN(TestScriptEditingRandom)
#include "test_script_editing_random.moc"
