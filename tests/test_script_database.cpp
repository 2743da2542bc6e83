#include "core/Failure.h"
#include "script/DataSet.h"
#include "script/ScriptDatabase.h"
#include "ui/DataControls.h"
#include "ui/ErrorReport.h"
#include "port/Port.h"
#include "tests/WindowParts.h"
#include "ui/Main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <set>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray notADatabase()
{
    return QByteArray("This is a note, not a database.\n").repeated(200);
}

QVariant columnOf(const DataSet& table, int row, const QString& field)
{
    return table.value(row, table.fieldIndex(field));
}

}  // namespace

class TestScriptDatabase : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(ScriptDatabase::defaultFilePath()); }
    void firstStartCreatesBothTablesAndAPlayableScript();
    void unusableFileFailsEveryStepAndStaysUntouched_data();
    void unusableFileFailsEveryStepAndStaysUntouched();
    void mainWindowWithAnUnusableFile();
    void mainWindowOnFirstStart();
};

void TestScriptDatabase::firstStartCreatesBothTablesAndAPlayableScript()
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("not there yet/Quillet2005.db"));
    ScriptDatabase database(path);
    DataSet commands(database, QStringLiteral("CommandTable"), QStringLiteral("CommandID"));
    DataSet script(database, QStringLiteral("Script"), QStringLiteral("ID"));
    commands.open();
    script.open();

    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(commands.fieldNames(), (QStringList{"CommandID", "CommandName", "Command Description"}));
    QCOMPARE(script.fieldNames(), (QStringList{"ID", "Script Command", "Data"}));
    QSqlQuery journal(database.connection());
    QVERIFY(journal.exec(QStringLiteral("PRAGMA journal_mode")) && journal.next());
    QCOMPARE(journal.value(0).toString(), QStringLiteral("wal"));

    std::set<int> described;
    for (int row = 0; row < commands.rowCount(); ++row) {
        described.insert(columnOf(commands, row, QStringLiteral("CommandID")).toInt());
        QVERIFY(!columnOf(commands, row, QStringLiteral("Command Description")).toString().isEmpty());
    }
    QCOMPARE(commands.rowCount(), 21);  // 1 to 20 and one for every other code
    for (int code = 1; code <= 20; ++code)
        QVERIFY2(described.count(code), qPrintable(QString::number(code)));

    QVERIFY(script.rowCount() > 2);
    QCOMPARE(script.fieldAsInt(QStringLiteral("Script Command")), 19);
    for (; !script.eof(); script.next()) {
        const qint32 command = script.fieldAsInt(QStringLiteral("Script Command"));
        QVERIFY(command >= 1 && command <= 20);
        if (command == 20)
            QVERIFY(script.fieldAsInt(QStringLiteral("Data")) > 0);
    }
}

void TestScriptDatabase::unusableFileFailsEveryStepAndStaysUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("text") << notADatabase();
    QByteArray garbage(8192, '\0');
    for (int index = 0; index < garbage.size(); ++index)
        garbage[index] = char((index * 7919) >> 3);
    QTest::newRow("binary") << garbage;
}

void TestScriptDatabase::unusableFileFailsEveryStepAndStaysUntouched()
{
    QFETCH(QByteArray, content);
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("Quillet2005.db"));
    write(path, content);
    ScriptDatabase database(path);
    DataSet commands(database, QStringLiteral("CommandTable"), QStringLiteral("CommandID"));
    DataSet script(database, QStringLiteral("Script"), QStringLiteral("ID"));

    QStringList failures;
    for (const auto& step : {std::function<void()>([&] { database.open(); }), std::function<void()>([&] { commands.open(); }),
                             std::function<void()>([&] { script.open(); })}) {
        try {
            step();
        } catch (const Failure& failure) {
            failures.append(failure.message());
        }
    }

    QCOMPARE(failures, QStringList(3, QStringLiteral("file is not a database")));
    QVERIFY(!database.isOpen() && !commands.isOpen() && !script.isOpen());
    QCOMPARE(readAll(path), content);
    QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{QStringLiteral("Quillet2005.db")});
}

void TestScriptDatabase::mainWindowWithAnUnusableFile()
{
    const QString path = ScriptDatabase::defaultFilePath();
    write(path, notADatabase());
    QStringList failures;
    setFailurePresenter([&](const QString& text) { failures.append(text); });
    {
        Port port;
        TWin2kAppForm window(port);
        QCOMPARE(failures, QStringList(3, QStringLiteral("file is not a database.")));
        QCOMPARE(part<DBGrid>(window, "DBGrid1")->model()->rowCount(), 0);
        QCOMPARE(part<DBGrid>(window, "DBGrid2")->model()->rowCount(), 0);
        for (DBNavigator* navigator : {part<DBNavigator>(window, "DBNavigator1"), part<DBNavigator>(window, "DBNavigator2")})
            for (const QToolButton* button : navigator->findChildren<QToolButton*>())
                QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
        for (const DBEdit* edit : {part<DBEdit>(window, "DBEdit1"), part<DBEdit>(window, "DBEdit2"), part<DBEdit>(window, "DBEdit3"), part<DBEdit>(window, "DBEdit4")})
            QVERIFY(edit->text().isEmpty());
        QCOMPARE(part<QLabel>(window, "LMDLabel1")->text(), QStringLiteral("Script: Script"));
        QCOMPARE(part<DataSet>(window, "ADOTable2")->fieldAsInt(QStringLiteral("Script Command")), 0);
    }
    setFailurePresenter({});
    QCOMPARE(readAll(path), notADatabase());
}

void TestScriptDatabase::mainWindowOnFirstStart()
{
    const QString path = ScriptDatabase::defaultFilePath();
    QStringList failures;
    setFailurePresenter([&](const QString& text) { failures.append(text); });
    Port port;
    TWin2kAppForm window(port);
    setFailurePresenter({});

    QVERIFY(failures.isEmpty());
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(part<DBGrid>(window, "DBGrid1")->model()->rowCount(), 21);
    QVERIFY(part<DBGrid>(window, "DBGrid2")->model()->rowCount() > 0);
    QCOMPARE(part<DBEdit>(window, "DBEdit3")->text(), QStringLiteral("19"));
    const double scale = window.layoutScale();
    QCOMPARE(part<DBGrid>(window, "DBGrid2")->geometry(),
             QRect(qRound(328 * scale), qRound(168 * scale), qRound(201 * scale), qRound(136 * scale)));
    QStringList titles;
    for (int column = 0; column < 3; ++column)
        titles.append(part<DBGrid>(window, "DBGrid2")->model()->headerData(column, Qt::Horizontal).toString());
    QCOMPARE(titles, (QStringList{"Line", "Command", "Data"}));
}

int main(int argc, char* argv[])
{
    // The program's own data folder, kept apart from every other test run.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet2005"));
    QStandardPaths::setTestModeEnabled(true);
    TestScriptDatabase test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_script_database.moc"
