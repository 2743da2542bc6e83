// The grid's table model under Qt's own model checker, through every kind of change a data set makes.
#include "test_dataset_fixture.h"

#include "script/DataSetModel.h"

#include <QAbstractItemModelTester>
#include <QTest>

class TableModelTest : public QObject {
    Q_OBJECT

private slots:
    void staysConsistentThroughEveryChange()
    {
        ScriptFixture fixture({{1, 2, QVariant()}, {2, 20, 150}, {3, 10, QVariant()}});
        DataSet& script = fixture.script();
        DataSetModel model(script, {{QStringLiteral("ID"), QStringLiteral("Line")},
                                    {QStringLiteral("Script Command"), QStringLiteral("Command")},
                                    {QStringLiteral("Data"), QStringLiteral("Data")}});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const int data = script.fieldIndex(QStringLiteral("Data"));

        script.moveTo(1);
        script.insert();
        script.setValue(data, 7);
        script.post();
        QCOMPARE(model.rowCount(), 4);

        script.last();
        script.append();
        script.cancel();
        QCOMPARE(model.rowCount(), 4);

        script.first();
        script.setValue(data, 99);
        script.cancel();
        script.setValue(data, 5);
        script.post();
        QCOMPARE(model.data(model.index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("5"));

        script.moveTo(2);
        script.remove();
        QCOMPARE(model.rowCount(), 3);

        while (script.rowCount() > 0)
            script.remove();
        QCOMPARE(model.rowCount(), 0);
        script.insert();
        script.setValue(data, 1);
        script.post();
        QCOMPARE(model.rowCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TableModelTest)
#include "test_table_model.moc"
