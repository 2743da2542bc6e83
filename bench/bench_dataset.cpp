// Opening a 10,000-row script and stepping through it with the data set, against reading the same rows with
// a bare query; and the time to store one edited row.
#include "script/DataSet.h"
#include "script/ScriptDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int ScriptRows = 10000;
constexpr int Repeats = 7;
constexpr int Stores = 200;

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void fillScript(const QString& path)
{
    ScriptDatabase database(path);
    database.open();
    QSqlDatabase connection = database.connection();
    connection.transaction();
    QSqlQuery query(connection);
    query.exec(QStringLiteral("DELETE FROM \"Script\""));
    query.prepare(QStringLiteral(
        "INSERT INTO \"Script\" (\"ID\", \"Script Command\", \"Data\", \"SortKey\") VALUES (?, ?, ?, ?)"));
    for (int line = 1; line <= ScriptRows; ++line) {
        query.addBindValue(line);
        query.addBindValue(line % 2 ? 20 : 2 + line % 16);
        query.addBindValue(line % 2 ? QVariant(150) : QVariant());
        query.addBindValue(line);
        query.exec();
    }
    connection.commit();
}

// Milliseconds to open the table and visit every row the way the player does.
double stepThroughDataSet(const QString& path, qint64& checksum)
{
    QElapsedTimer timer;
    timer.start();
    ScriptDatabase database(path);
    DataSet script(database, QStringLiteral("Script"), QStringLiteral("ID"));
    script.open();
    for (script.first(); !script.eof(); script.next())
        checksum += script.fieldAsInt(QStringLiteral("Script Command")) + script.fieldAsInt(QStringLiteral("Data"));
    return timer.nsecsElapsed() / 1e6;
}

double readWithBareQuery(const QString& path, qint64& checksum)
{
    QElapsedTimer timer;
    timer.start();
    ScriptDatabase database(path);
    database.open();
    QSqlQuery query(database.connection());
    query.setForwardOnly(true);
    query.exec(QStringLiteral("SELECT \"Script Command\", \"Data\" FROM \"Script\" ORDER BY \"SortKey\""));
    while (query.next())
        checksum += query.value(0).toInt() + query.value(1).toInt();
    return timer.nsecsElapsed() / 1e6;
}

// Milliseconds per stored edit: change a value, then move on, which stores it.
std::vector<double> storeEditedRows(const QString& path)
{
    ScriptDatabase database(path);
    DataSet script(database, QStringLiteral("Script"), QStringLiteral("ID"));
    script.open();
    const int data = script.fieldIndex(QStringLiteral("Data"));
    std::vector<double> samples;
    QElapsedTimer timer;
    for (int store = 0; store < Stores; ++store) {
        script.setValue(data, QString::number(1000 + store));
        timer.start();
        script.next();
        samples.push_back(timer.nsecsElapsed() / 1e6);
    }
    return samples;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("Quillet2005.db"));
    fillScript(path);

    std::vector<double> dataSetTimes;
    std::vector<double> queryTimes;
    qint64 dataSetSum = 0;
    qint64 querySum = 0;
    for (int repeat = 0; repeat < Repeats; ++repeat) {
        dataSetTimes.push_back(stepThroughDataSet(path, dataSetSum));
        queryTimes.push_back(readWithBareQuery(path, querySum));
    }
    if (dataSetSum != querySum) {
        std::fprintf(stderr, "the two readings differ: %lld against %lld\n", dataSetSum, querySum);
        return 1;
    }
    const double dataSet = median(dataSetTimes);
    const double query = median(queryTimes);
    std::printf("%d rows, median of %d runs\n", ScriptRows, Repeats);
    std::printf("  data set, open and next through all rows: %8.2f ms\n", dataSet);
    std::printf("  bare query, read all rows:                %8.2f ms\n", query);
    std::printf("  ratio:                                    %8.2f\n", dataSet / query);

    const std::vector<double> stores = storeEditedRows(path);
    std::vector<double> sorted = stores;
    std::sort(sorted.begin(), sorted.end());
    std::printf("store an edited row (%d stores): median %.3f ms, 95th percentile %.3f ms\n", Stores, median(stores),
                sorted[sorted.size() * 95 / 100]);
    return 0;
}
