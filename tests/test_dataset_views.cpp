#include "test_dataset_fixture.h"

#include "ui/DataControls.h"
#include "ui/ErrorReport.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace {

const QString Command = QStringLiteral("Script Command");
const QString Data = QStringLiteral("Data");

using Button = DBNavigator::Button;

// The script grid, its navigator and the Data edit box over one fixture, shown and active.
struct ScriptViews {
    explicit ScriptViews(const QList<Values>& rows)
        : fixture(rows),
          grid(new DBGrid(fixture.script(),
                          {{QStringLiteral("ID"), QStringLiteral("Line"), 39},
                           {Command, QStringLiteral("Command"), 77},
                           {Data, QStringLiteral("Data"), 41}},
                          DBGrid::Editing::Editable, &window)),
          navigator(new DBNavigator(fixture.script(),
                                    {Button::First, Button::Prior, Button::Next, Button::Last, Button::Insert,
                                     Button::Delete},
                                    &window)),
          dataEdit(new DBEdit(fixture.script(), Data, &window))
    {
        grid->setGeometry(0, 0, 201, 136);
        navigator->setGeometry(0, 140, 192, 25);
        dataEdit->setGeometry(0, 170, 49, 21);
        setFailurePresenter([this](const QString& text) { failures.append(text); });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    ~ScriptViews()
    {
        setFailurePresenter({});
        setDeleteConfirmation({});
    }

    DataSet& script() { return fixture.script(); }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    // Key by key, as a user types: the first key opens the cell's editor, which takes the rest.
    void type(const QString& text)
    {
        for (const QChar character : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(character));
    }
    void focusCell(int row, int column)
    {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
    }
    void clickCell(int row, int column)
    {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void press(Button which) { navigator->button(which)->click(); }

    ScriptFixture fixture;
    QWidget window;
    DBGrid* grid;
    DBNavigator* navigator;
    DBEdit* dataEdit;
    QStringList failures;
};

}  // namespace

class TestDataSetViews : public QObject {
    Q_OBJECT

private slots:
    void typingInTheGridIsStoredOnRowChange();
    void escapeUndoesTheCellThenTheRow();
    void insertKeyAndDownOnTheLastRow();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void referenceGridOnlyMoves();
    void navigatorButtons_data();
    void navigatorButtons();
    void editBoxTypingIsStoredBeforeTheNavigatorMoves();
    void typingIntoAnEmptyTableStartsANewRow();
    void refusedStoreIsReportedOnceAndTheRowStays();
    void droppingAnAppendedRow_data();
    void droppingAnAppendedRow();
    void droppingAnInsertedRowKeepsTheOthers_data();
    void droppingAnInsertedRowKeepsTheOthers();
    void deleteRemovesTheRowItAskedAbout_data();
    void deleteRemovesTheRowItAskedAbout();
    void deferredViewsCatchUpBeforeTheUserActs();
};

void TestDataSetViews::typingInTheGridIsStoredOnRowChange()
{
    ScriptViews views(numberedRows(3));
    views.focusCell(0, 2);
    views.type(QStringLiteral("42"));
    QCOMPARE(views.dataEdit->text(), QStringLiteral("10"));  // still in the cell
    views.key(Qt::Key_Down);
    QCOMPARE(views.script().currentRow(), 1);
    QCOMPARE(views.fixture.storedRows()[0], (Values{1, 1, 42}));
    QCOMPARE(views.dataEdit->text(), QStringLiteral("20"));
}

void TestDataSetViews::escapeUndoesTheCellThenTheRow()
{
    ScriptViews views(numberedRows(2));
    views.focusCell(0, 1);
    views.type(QStringLiteral("5"));
    views.key(Qt::Key_Tab);  // the command is taken into the row; now typing in Data
    views.type(QStringLiteral("99"));

    views.key(Qt::Key_Escape);
    QCOMPARE(views.script().state(), DataSet::State::Edit);
    QCOMPARE(views.script().fieldValue(Command), QVariant(QStringLiteral("5")));
    QCOMPARE(views.script().fieldValue(Data), QVariant(10));

    views.key(Qt::Key_Escape);
    QCOMPARE(views.script().state(), DataSet::State::Browse);
    QCOMPARE(views.script().fieldValue(Command), QVariant(1));
    QCOMPARE(views.fixture.storedRows(), numberedRows(2));
}

void TestDataSetViews::insertKeyAndDownOnTheLastRow()
{
    ScriptViews views(numberedRows(3));
    views.focusCell(1, 1);
    views.key(Qt::Key_Insert);
    QCOMPARE(views.script().rowCount(), 4);
    QCOMPARE(views.grid->currentIndex().row(), 1);
    QCOMPARE(views.script().state(), DataSet::State::Insert);
    views.key(Qt::Key_Up);  // left without a value: gone
    QCOMPARE(views.script().rowCount(), 3);
    QCOMPARE(views.script().currentRow(), 0);

    views.focusCell(2, 1);
    views.key(Qt::Key_Down);
    QCOMPARE(views.script().rowCount(), 4);
    QCOMPARE(views.grid->currentIndex().row(), 3);
    views.key(Qt::Key_Down);  // no second empty row
    QCOMPARE(views.script().rowCount(), 4);
    views.type(QStringLiteral("19"));
    views.key(Qt::Key_Up);
    QCOMPARE(views.fixture.storedRows().last(), (Values{4, 19, QVariant()}));
}

void TestDataSetViews::deleteAsksFirst_data()
{
    QTest::addColumn<bool>("fromGrid");
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("grid, OK") << true << true;
    QTest::newRow("grid, Cancel") << true << false;
    QTest::newRow("navigator, OK") << false << true;
    QTest::newRow("navigator, Cancel") << false << false;
}

void TestDataSetViews::deleteAsksFirst()
{
    QFETCH(bool, fromGrid);
    QFETCH(bool, confirmed);
    ScriptViews views(numberedRows(3));
    int questions = 0;
    setDeleteConfirmation([&] {
        ++questions;
        return confirmed;
    });
    views.focusCell(1, 0);
    if (fromGrid)
        views.key(Qt::Key_Delete, Qt::ControlModifier);
    else
        views.press(Button::Delete);

    QCOMPARE(questions, 1);
    const QList<Values> expected = confirmed ? QList<Values>{{1, 1, 10}, {3, 3, 30}} : numberedRows(3);
    QCOMPARE(views.fixture.storedRows(), expected);
    QCOMPARE(views.script().rowCount(), int(expected.size()));
    QCOMPARE(views.script().currentRow(), 1);
}

void TestDataSetViews::referenceGridOnlyMoves()
{
    ScriptFixture fixture(numberedRows(0));
    DataSet commands(fixture.database(), QStringLiteral("CommandTable"), QStringLiteral("CommandID"));
    commands.open();
    DBGrid grid(commands, {{QStringLiteral("CommandID"), QStringLiteral("CommandID"), 65}}, DBGrid::Editing::ReadOnly);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    bool asked = false;
    setDeleteConfirmation([&] { return asked = true; });
    const int rows = commands.rowCount();

    QTest::keyClicks(&grid, QStringLiteral("2"));
    QTest::keyClick(&grid, Qt::Key_Insert);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(commands.state(), DataSet::State::Browse);
    QCOMPARE(commands.currentRow(), 0);
    QCOMPARE(commands.rowCount(), rows);
    QVERIFY(!asked);

    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(commands.currentRow(), rows - 1);
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(commands.rowCount(), rows);
    setDeleteConfirmation({});
}

void TestDataSetViews::navigatorButtons_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("moves");
    QTest::addColumn<QString>("enabled");  // First Prior Next Last Insert Delete
    QTest::newRow("opened") << 3 << true << "" << "001111";
    QTest::newRow("middle") << 3 << true << "next" << "111111";
    QTest::newRow("last") << 3 << true << "last" << "110011";
    QTest::newRow("empty") << 0 << true << "" << "000010";
    QTest::newRow("closed") << 3 << false << "" << "000000";
}

void TestDataSetViews::navigatorButtons()
{
    QFETCH(int, rows);
    QFETCH(bool, open);
    QFETCH(QString, moves);
    QFETCH(QString, enabled);
    ScriptFixture fixture(numberedRows(rows));
    ScriptDatabase database(fixture.filePath());
    DataSet script(database, QStringLiteral("Script"), QStringLiteral("ID"));
    const QList<Button> all{Button::First, Button::Prior, Button::Next, Button::Last, Button::Insert, Button::Delete};
    DBNavigator navigator(script, all);
    if (open)
        script.open();
    if (moves == u"next")
        navigator.button(Button::Next)->click();
    if (moves == u"last")
        navigator.button(Button::Last)->click();

    QString actual;
    for (const Button which : all)
        actual += navigator.button(which)->isEnabled() ? u'1' : u'0';
    QCOMPARE(actual, enabled);

    const QStringList names{"First", "Prior", "Next", "Last", "Insert", "Delete"};
    const QStringList hints{"First record", "Prior record", "Next record", "Last record", "Insert record",
                            "Delete record"};
    for (int index = 0; index < all.size(); ++index) {
        QCOMPARE(navigator.button(all[index])->objectName(), names[index]);
        QCOMPARE(navigator.button(all[index])->property("hint").toString(), hints[index]);
        QVERIFY(navigator.button(all[index])->toolTip().isEmpty());
    }
}

void TestDataSetViews::editBoxTypingIsStoredBeforeTheNavigatorMoves()
{
    ScriptViews views(numberedRows(3));
    views.dataEdit->setFocus();
    views.dataEdit->selectAll();
    views.type(QStringLiteral("55"));
    QCOMPARE(views.script().state(), DataSet::State::Edit);
    views.press(Button::Next);  // the button takes no focus: the box is still being typed in
    QCOMPARE(views.script().currentRow(), 1);
    QCOMPARE(views.fixture.storedRows()[0], (Values{1, 1, 55}));
    QCOMPARE(views.grid->model()->index(0, 2).data(), QVariant(55));
}

void TestDataSetViews::typingIntoAnEmptyTableStartsANewRow()
{
    ScriptViews views({});
    views.dataEdit->setFocus();
    views.type(QStringLiteral("150"));
    QCOMPARE(views.dataEdit->text(), QStringLiteral("150"));
    QCOMPARE(views.script().state(), DataSet::State::Insert);
    views.script().post();
    QCOMPARE(views.fixture.storedRows(), (QList<Values>{{1, QVariant(), 150}}));
}

void TestDataSetViews::refusedStoreIsReportedOnceAndTheRowStays()
{
    ScriptViews views(numberedRows(3));
    views.focusCell(0, 2);
    views.type(QStringLiteral("abc"));
    // The box is not opened inside the grid's own current-row bookkeeping.
    bool clicking = true;
    bool reportedWhileClicking = false;
    setFailurePresenter([&](const QString& text) {
        reportedWhileClicking = reportedWhileClicking || clicking;
        views.failures.append(text);
    });
    views.clickCell(2, 2);
    clicking = false;
    QTRY_COMPARE(views.grid->currentIndex().row(), 0);
    QTRY_COMPARE(views.failures.size(), 1);
    QVERIFY(!reportedWhileClicking);
    QCOMPARE(views.failures, QStringList{QStringLiteral("Data must be a whole number from -2147483648 to 2147483647.")});
    QCOMPARE(views.script().state(), DataSet::State::Edit);
    QCOMPARE(views.dataEdit->text(), QStringLiteral("abc"));

    views.press(Button::Last);
    QCOMPARE(views.failures.size(), 2);
    QCOMPARE(views.script().currentRow(), 0);
    QCOMPARE(views.fixture.storedRows(), numberedRows(3));
}

// Ctrl+End, Down appends an empty row; leaving it in any of these ways drops it again, and nothing else.
void TestDataSetViews::droppingAnAppendedRow_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("leave");
    for (const char* typed : {"", "7"}) {
        for (const char* leave : {"escape", "first", "prior", "last"})
            QTest::addRow("%s%s", *typed ? "typed, escape, " : "", leave) << typed << leave;
    }
}

void TestDataSetViews::droppingAnAppendedRow()
{
    QFETCH(QString, typed);
    QFETCH(QString, leave);
    ScriptViews views(numberedRows(3));
    views.focusCell(0, 1);
    views.key(Qt::Key_End, Qt::ControlModifier);
    views.key(Qt::Key_Down);
    QCOMPARE(views.script().rowCount(), 4);
    if (!typed.isEmpty()) {
        views.type(typed);
        views.key(Qt::Key_Escape);
    }
    const QMap<QString, std::function<void()>> leaving{
        {QStringLiteral("escape"), [&] { views.key(Qt::Key_Escape); }},
        {QStringLiteral("first"), [&] { views.press(Button::First); }},
        {QStringLiteral("prior"), [&] { views.press(Button::Prior); }},
        {QStringLiteral("last"), [&] { views.press(Button::Last); }},
    };
    leaving[leave]();

    QCOMPARE(views.script().rowCount(), 3);
    QCOMPARE(views.grid->model()->rowCount(), 3);
    QCOMPARE(views.script().state(), DataSet::State::Browse);
    QCOMPARE(views.grid->currentIndex().row(), views.script().currentRow());
    QCOMPARE(views.fixture.storedRows(), numberedRows(3));
    QVERIFY(views.failures.isEmpty());
}

void TestDataSetViews::droppingAnInsertedRowKeepsTheOthers_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Insert, Escape") << "key escape";
    QTest::newRow("navigator insert, Escape") << "button escape";
    QTest::newRow("Insert, Escape in the edit box") << "key edit-escape";
    QTest::newRow("Insert, typing, Escape, Escape") << "key type escape escape";
}

void TestDataSetViews::droppingAnInsertedRowKeepsTheOthers()
{
    QFETCH(QString, how);
    const QList<Values> script{{1, 2, 0}, {2, 3, 0}, {3, 4, 0}, {4, 5, 0}, {5, 6, 0}};
    ScriptViews views(script);
    views.clickCell(2, 1);
    for (const QString& step : how.split(u' ')) {
        if (step == QLatin1String("key"))
            views.key(Qt::Key_Insert);
        else if (step == QLatin1String("button"))
            views.press(Button::Insert);
        else if (step == QLatin1String("type"))
            views.type(QStringLiteral("8"));
        else if (step == QLatin1String("escape"))
            views.key(Qt::Key_Escape);
        else if (step == QLatin1String("edit-escape"))
            QTest::keyClick(views.dataEdit, Qt::Key_Escape);
    }

    QCOMPARE(views.script().rowCount(), 5);
    QCOMPARE(views.grid->model()->rowCount(), 5);
    QList<int> shownLines;
    for (int row = 0; row < 5; ++row)
        shownLines.append(views.grid->model()->index(row, 0).data().toInt());
    QCOMPARE(shownLines, (QList<int>{1, 2, 3, 4, 5}));
    QCOMPARE(views.script().currentRow(), 2);
    QCOMPARE(views.fixture.storedRows(), script);
}

// The question's box runs a nested event loop in which the player goes on moving the cursor.
void TestDataSetViews::deleteRemovesTheRowItAskedAbout_data()
{
    QTest::addColumn<bool>("fromGrid");
    QTest::addColumn<bool>("askedRowGoneMeanwhile");
    QTest::newRow("grid") << true << false;
    QTest::newRow("navigator") << false << false;
    QTest::newRow("grid, row deleted meanwhile") << true << true;
}

void TestDataSetViews::deleteRemovesTheRowItAskedAbout()
{
    QFETCH(bool, fromGrid);
    QFETCH(bool, askedRowGoneMeanwhile);
    ScriptViews views(numberedRows(4));
    setDeleteConfirmation([&] {
        if (askedRowGoneMeanwhile)
            views.script().remove();
        views.script().next();
        views.script().next();
        return true;
    });
    views.clickCell(1, 0);
    if (fromGrid)
        views.key(Qt::Key_Delete, Qt::ControlModifier);
    else
        views.press(Button::Delete);

    const QList<Values> expected{{1, 1, 10}, {3, 3, 30}, {4, 4, 40}};
    QCOMPARE(views.fixture.storedRows(), expected);
    QCOMPARE(views.script().rowCount(), 3);
    QCOMPARE(views.script().fieldValue(Data), QVariant(40));
    QCOMPARE(views.grid->currentIndex().row(), views.script().currentRow());
}

// While a script plays, the views follow the moves later, but never let the user act on a stale row.
void TestDataSetViews::deferredViewsCatchUpBeforeTheUserActs()
{
    ScriptViews views(numberedRows(5));
    views.grid->setUpdatesDeferred(true);
    views.dataEdit->setUpdatesDeferred(true);
    views.script().moveTo(3);
    QCOMPARE(views.grid->currentIndex().row(), 0);
    QCOMPARE(views.dataEdit->text(), QStringLiteral("10"));

    // The grid still shows the first row as current; clicking it selects it.
    views.clickCell(0, 1);
    QCOMPARE(views.script().currentRow(), 0);

    views.script().moveTo(2);
    QTest::mouseClick(views.dataEdit, Qt::LeftButton);
    QCOMPARE(views.dataEdit->text(), QStringLiteral("30"));
    views.script().moveTo(4);
    views.grid->setUpdatesDeferred(false);
    views.dataEdit->setUpdatesDeferred(false);
    QCOMPARE(views.grid->currentIndex().row(), 4);
    QCOMPARE(views.dataEdit->text(), QStringLiteral("50"));
}

QTEST_MAIN(TestDataSetViews)
#include "test_dataset_views.moc"
