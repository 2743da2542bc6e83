#include "test_dataset_fixture.h"

#include "core/Failure.h"

#include <QTest>

namespace {

const QString Command = QStringLiteral("Script Command");
const QString Data = QStringLiteral("Data");

void run(DataSet& dataSet, const QString& operations)
{
    for (const QString& operation : operations.split(u',', Qt::SkipEmptyParts)) {
        if (operation == u"next")
            dataSet.next();
        else if (operation == u"prior")
            dataSet.prior();
        else if (operation == u"first")
            dataSet.first();
        else if (operation == u"last")
            dataSet.last();
        else if (operation == u"insert")
            dataSet.insert();
        else if (operation == u"append")
            dataSet.append();
        else if (operation == u"delete")
            dataSet.remove();
        else if (operation.startsWith(u"move"))
            dataSet.moveTo(operation.mid(4).toInt());
        else
            QFAIL(qPrintable(QStringLiteral("unknown operation ") + operation));
    }
}

QList<QVariant> ids(const QList<Values>& rows)
{
    QList<QVariant> result;
    for (const Values& row : rows)
        result.append(row[0]);
    return result;
}

QList<QVariant> ids(const DataSet& dataSet)
{
    QList<QVariant> result;
    for (int row = 0; row < dataSet.rowCount(); ++row)
        result.append(dataSet.value(row, dataSet.fieldIndex(QStringLiteral("ID"))));
    return result;
}

}  // namespace

class TestDataSet : public QObject {
    Q_OBJECT

private slots:
    void cursor_data();
    void cursor();
    void editIsStoredBeforeAnyMove_data();
    void editIsStoredBeforeAnyMove();
    void retypedValueIsNoChange();
    void readsFieldsAsIntegers();
    void refusedValueStaysInEditing_data();
    void refusedValueStaysInEditing();
    void emptyCellIsStoredAsNull();
    void newRowGetsTheNextNumber();
    void orderAndInsertedRowsSurviveReopening();
    void lockedDatabaseKeepsTheEdit();
    void rowChangedByAnotherCopyIsNotOverwritten();
    void tableWithoutARequiredFieldIsNotOpened_data();
    void tableWithoutARequiredFieldIsNotOpened();
};

void TestDataSet::cursor_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("operations");
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("bof");
    QTest::addColumn<bool>("eof");
    QTest::addColumn<int>("rowCount");

    QTest::newRow("empty, opened") << 0 << "" << -1 << true << true << 0;
    QTest::newRow("empty, next") << 0 << "next" << -1 << true << true << 0;
    QTest::newRow("empty, prior") << 0 << "prior" << -1 << true << true << 0;
    QTest::newRow("empty, first keeps the end flag") << 0 << "first" << -1 << true << true << 0;
    QTest::newRow("empty, last") << 0 << "last" << -1 << true << true << 0;
    QTest::newRow("empty, untouched insert left") << 0 << "insert,next" << -1 << true << true << 0;

    QTest::newRow("one, opened") << 1 << "" << 0 << true << false << 1;
    QTest::newRow("one, next finds no row") << 1 << "next" << 0 << false << true << 1;
    QTest::newRow("one, next at end stays") << 1 << "next,next" << 0 << false << true << 1;
    QTest::newRow("one, first clears the end flag") << 1 << "next,first" << 0 << true << false << 1;
    QTest::newRow("one, last") << 1 << "last" << 0 << false << true << 1;
    QTest::newRow("one, prior from the end") << 1 << "last,prior" << 0 << true << false << 1;
    QTest::newRow("one, delete the last remaining row") << 1 << "delete" << -1 << true << true << 0;

    QTest::newRow("three, opened") << 3 << "" << 0 << true << false << 3;
    QTest::newRow("three, prior at begin") << 3 << "prior" << 0 << true << false << 3;
    QTest::newRow("three, next") << 3 << "next" << 1 << false << false << 3;
    QTest::newRow("three, onto the last row") << 3 << "next,next" << 2 << false << false << 3;
    QTest::newRow("three, past the last row") << 3 << "next,next,next" << 2 << false << true << 3;
    QTest::newRow("three, next while at end") << 3 << "next,next,next,next" << 2 << false << true << 3;
    QTest::newRow("three, last then prior") << 3 << "last,prior" << 1 << false << false << 3;
    QTest::newRow("three, last then first") << 3 << "last,first" << 0 << true << false << 3;
    QTest::newRow("three, grid move then next") << 3 << "move2,next" << 2 << false << true << 3;
    QTest::newRow("three, insert") << 3 << "next,insert" << 1 << false << false << 4;
    QTest::newRow("three, untouched insert, next") << 3 << "next,insert,next" << 1 << false << false << 3;
    QTest::newRow("three, untouched insert, prior") << 3 << "next,insert,prior" << 0 << false << false << 3;
    QTest::newRow("three, untouched insert, first") << 3 << "next,insert,first" << 0 << true << false << 3;
    QTest::newRow("three, untouched append, next") << 3 << "append,next" << 2 << false << true << 3;
    QTest::newRow("three, untouched append, grid move") << 3 << "append,move0" << 0 << false << false << 3;
    QTest::newRow("three, delete the first row") << 3 << "delete" << 0 << false << false << 2;
    QTest::newRow("three, delete the last row") << 3 << "last,delete" << 1 << false << false << 2;
}

void TestDataSet::cursor()
{
    QFETCH(int, rows);
    QFETCH(QString, operations);
    ScriptFixture fixture(numberedRows(rows));
    DataSet& script = fixture.script();

    run(script, operations);

    QTEST(script.currentRow(), "current");
    QTEST(script.bof(), "bof");
    QTEST(script.eof(), "eof");
    QTEST(script.rowCount(), "rowCount");
    if (script.state() == DataSet::State::Browse)
        QCOMPARE(ids(fixture.storedRows()), ids(script));
}

void TestDataSet::editIsStoredBeforeAnyMove_data()
{
    QTest::addColumn<QString>("move");
    QTest::newRow("next") << "next";
    QTest::newRow("prior") << "prior";
    QTest::newRow("first") << "first";
    QTest::newRow("last") << "last";
    QTest::newRow("grid") << "move0";
    QTest::newRow("insert") << "insert";
    QTest::newRow("append") << "append";
}

void TestDataSet::editIsStoredBeforeAnyMove()
{
    QFETCH(QString, move);
    ScriptFixture fixture(numberedRows(3));
    DataSet& script = fixture.script();
    script.next();
    script.setValue(script.fieldIndex(Data), QStringLiteral("77"));
    QCOMPARE(script.state(), DataSet::State::Edit);

    run(script, move);

    QCOMPARE(fixture.storedRows()[1], (Values{2, 2, 77}));
}

void TestDataSet::retypedValueIsNoChange()
{
    ScriptFixture fixture(numberedRows(2));
    DataSet& script = fixture.script();
    script.setValue(script.fieldIndex(Data), QStringLiteral("10"));
    QVERIFY(!script.isModified());
    script.next();
    QCOMPARE(script.state(), DataSet::State::Browse);
    QCOMPARE(script.currentRow(), 1);
}

void TestDataSet::readsFieldsAsIntegers()
{
    ScriptFixture fixture({{1, QVariant(), QVariant()}, {2, -5, 2147483647}});
    DataSet& script = fixture.script();
    QCOMPARE(script.fieldAsInt(Command), 0);
    QCOMPARE(script.fieldAsInt(Data), 0);
    script.next();
    QCOMPARE(script.fieldAsInt(Command), -5);
    QCOMPARE(script.fieldAsInt(Data), 2147483647);
    QVERIFY_THROWS_EXCEPTION(Failure, script.fieldAsInt(QStringLiteral("Script command")));

    ScriptFixture empty({});
    QCOMPARE(empty.script().fieldAsInt(Command), 0);

    ScriptDatabase unopened(fixture.filePath());
    const DataSet closed(unopened, QStringLiteral("Script"), QStringLiteral("ID"));
    QCOMPARE(closed.fieldAsInt(Data), 0);
    QVERIFY(!closed.isOpen());
}

void TestDataSet::refusedValueStaysInEditing_data()
{
    QTest::addColumn<bool>("newRow");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reason");
    const QString dataRange = QStringLiteral("Data must be a whole number from -2147483648 to 2147483647.");
    for (const bool newRow : {false, true}) {
        const char* kind = newRow ? "new row" : "edited row";
        QTest::addRow("%s, text", kind) << newRow << Data << "abc" << dataRange;
        QTest::addRow("%s, fraction", kind) << newRow << Data << "1.5" << dataRange;
        QTest::addRow("%s, above 32 bits", kind) << newRow << Data << "2147483648" << dataRange;
        QTest::addRow("%s, below 32 bits", kind) << newRow << Data << "-2147483649" << dataRange;
        QTest::addRow("%s, 20 digits", kind) << newRow << Data << "12345678901234567890" << dataRange;
        QTest::addRow("%s, command as text", kind)
            << newRow << Command << "x1"
            << "Script Command must be a whole number from -2147483648 to 2147483647.";
    }
}

void TestDataSet::refusedValueStaysInEditing()
{
    QFETCH(bool, newRow);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    ScriptFixture fixture(numberedRows(2));
    DataSet& script = fixture.script();
    if (newRow)
        script.insert();
    script.setValue(script.fieldIndex(field), typed);
    const DataSet::State editing = script.state();

    try {
        script.next();
        QFAIL("the store was not refused");
    } catch (const Failure& failure) {
        QTEST(failure.message(), "reason");
    }

    QCOMPARE(script.state(), editing);
    QCOMPARE(script.currentRow(), 0);
    QCOMPARE(script.fieldValue(field), QVariant(typed));
    QCOMPARE(fixture.storedRows(), numberedRows(2));
    script.cancel();
    QCOMPARE(script.state(), DataSet::State::Browse);
    QCOMPARE(script.rowCount(), 2);
}

void TestDataSet::emptyCellIsStoredAsNull()
{
    ScriptFixture fixture(numberedRows(2));
    DataSet& script = fixture.script();
    script.setValue(script.fieldIndex(Data), QString());
    script.next();
    script.prior();
    QVERIFY(fixture.storedRows()[0][2].isNull());
    QCOMPARE(script.fieldAsInt(Data), 0);
}

void TestDataSet::newRowGetsTheNextNumber()
{
    ScriptFixture fixture({{1, 19, QVariant()}, {5, 2, QVariant()}, {3, 10, QVariant()}});
    DataSet& script = fixture.script();
    script.next();
    script.insert();
    script.setValue(script.fieldIndex(Command), QStringLiteral("20"));
    script.setValue(script.fieldIndex(Data), QStringLiteral("150"));
    script.post();
    QCOMPARE(script.fieldAsInt(QStringLiteral("ID")), 6);
    QCOMPARE(fixture.storedRows(), (QList<Values>{{1, 19, QVariant()}, {6, 20, 150}, {5, 2, QVariant()},
                                                  {3, 10, QVariant()}}));
}

void TestDataSet::orderAndInsertedRowsSurviveReopening()
{
    ScriptFixture fixture(numberedRows(3));
    DataSet& script = fixture.script();
    const int command = script.fieldIndex(Command);
    script.insert();  // before the first row
    script.setValue(command, 1);
    script.last();
    script.append();
    script.setValue(command, 1);
    // Enough inserts at one place to use up the room between two keys.
    script.moveTo(2);
    for (int insert = 0; insert < 60; ++insert) {
        script.insert();
        script.setValue(command, 1);
        script.post();
    }
    const QList<QVariant> seen = ids(script);
    QCOMPARE(seen.size(), 65);

    fixture.reopen();
    QCOMPARE(ids(fixture.script()), seen);
}

void TestDataSet::lockedDatabaseKeepsTheEdit()
{
    ScriptFixture fixture(numberedRows(2));
    DataSet& script = fixture.script();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other copy"));
        other.setDatabaseName(fixture.filePath());
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));

        script.setValue(script.fieldIndex(Data), QStringLiteral("99"));
        QVERIFY_THROWS_EXCEPTION(Failure, script.next());
        QCOMPARE(script.state(), DataSet::State::Edit);
        QCOMPARE(script.fieldValue(Data), QVariant(QStringLiteral("99")));

        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other copy"));
    script.next();
    QCOMPARE(fixture.storedRows()[0], (Values{1, 1, 99}));
}

// Two copies of the program on one file, each with the snapshot it read at opening.
void TestDataSet::rowChangedByAnotherCopyIsNotOverwritten()
{
    ScriptFixture fixture(numberedRows(4));
    ScriptDatabase otherConnection(fixture.filePath());
    DataSet other(otherConnection, QStringLiteral("Script"), QStringLiteral("ID"));
    other.open();
    DataSet& script = fixture.script();

    other.moveTo(2);
    other.setValue(other.fieldIndex(Data), QStringLiteral("111"));
    other.post();
    script.moveTo(2);
    script.setValue(script.fieldIndex(Data), QStringLiteral("222"));
    try {
        script.post();
        QFAIL("the store was not refused");
    } catch (const Failure& failure) {
        QCOMPARE(failure.message(), QStringLiteral("The row was changed by another program since it was read."));
    }
    QCOMPARE(script.state(), DataSet::State::Edit);
    QCOMPARE(script.fieldValue(Data), QVariant(QStringLiteral("222")));
    QCOMPARE(fixture.storedRows()[2], (Values{3, 3, 111}));

    // Told so, the user may store the change again, knowingly replacing the other copy's value.
    script.post();
    QCOMPARE(fixture.storedRows()[2], (Values{3, 3, 222}));

    other.remove();
    script.setValue(script.fieldIndex(Data), QStringLiteral("333"));
    QVERIFY_THROWS_EXCEPTION(Failure, script.post());
    QCOMPARE(script.state(), DataSet::State::Edit);
}

void TestDataSet::tableWithoutARequiredFieldIsNotOpened_data()
{
    QTest::addColumn<QString>("missing");
    QTest::newRow("Data") << "Data";
    QTest::newRow("Script Command") << "Script Command";
}

void TestDataSet::tableWithoutARequiredFieldIsNotOpened()
{
    QFETCH(QString, missing);
    QTemporaryDir folder;
    ScriptDatabase database(folder.filePath(QStringLiteral("Quillet2005.db")));
    database.open();
    QSqlQuery query(database.connection());
    QStringList columns{QStringLiteral("\"ID\" INTEGER"), QStringLiteral("\"Script Command\" INTEGER"),
                        QStringLiteral("\"Data\" INTEGER")};
    columns.removeIf([&](const QString& column) { return column.contains(u'"' + missing + u'"'); });
    QVERIFY(query.exec(QStringLiteral("DROP TABLE \"Script\"")));
    QVERIFY(query.exec(QStringLiteral("CREATE TABLE \"Script\" (%1)").arg(columns.join(u','))));

    DataSet script(database, QStringLiteral("Script"), QStringLiteral("ID"),
                   {QStringLiteral("ID"), Command, Data});
    try {
        script.open();
        QFAIL("the table was opened");
    } catch (const Failure& failure) {
        QCOMPARE(failure.message(),
                 QStringLiteral("The table Script has no field \"%1\", so it cannot be used").arg(missing));
    }
    QVERIFY(!script.isOpen());
}

QTEST_GUILESS_MAIN(TestDataSet)
#include "test_dataset.moc"
