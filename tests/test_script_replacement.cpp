#include "tests/test_dataset_fixture.h"

#include "core/Failure.h"

#include <QElapsedTimer>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString Command = QStringLiteral("Script Command");

constexpr std::nullopt_t Empty = std::nullopt;

QList<ScriptRow> manyRows(int count)
{
    QList<ScriptRow> rows;
    rows.reserve(count);
    for (int row = 0; row < count; ++row)
        rows.append({count - row, row % 21, row % 3 ? std::optional<qint32>(row) : Empty});
    return rows;
}

QList<Values> asValues(const QList<ScriptRow>& rows)
{
    const auto cell = [](const std::optional<qint32>& value) { return value ? QVariant(*value) : QVariant(); };
    QList<Values> values;
    for (const ScriptRow& row : rows)
        values.append({cell(row.id), cell(row.command), cell(row.data)});
    return values;
}

int commandRowCount(ScriptDatabase& database)
{
    QSqlQuery query(database.connection());
    query.exec(QStringLiteral("SELECT count(*) FROM \"CommandTable\""));
    return query.next() ? query.value(0).toInt() : -1;
}

// Another connection holding the write lock, as another copy of the program in the middle of a store.
class WriteLock {
public:
    explicit WriteLock(const QString& path)
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Name);
        other.setDatabaseName(path);
        other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        other.open();
        QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
    ~WriteLock()
    {
        QSqlDatabase::database(Name).close();
        QSqlDatabase::removeDatabase(Name);
    }

private:
    static inline const QString Name = QStringLiteral("write lock");
};

// True while some connection holds the file's write lock: taking it ourselves fails at once.
bool writeLockIsTaken(const QSqlDatabase& probe)
{
    QSqlQuery query(probe);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return true;
    query.exec(QStringLiteral("ROLLBACK"));
    return false;
}

}  // namespace

class TestScriptReplacement : public QObject {
    Q_OBJECT

private slots:
    void replacementKeepsTheGivenOrderAcrossARestart()
    {
        ScriptFixture fixture(numberedRows(3));
        const int commands = commandRowCount(fixture.database());
        const QList<ScriptRow> rows{{5, 1, Empty}, {2, 20, 150}, {Empty, Empty, Empty}, {5, -7, 2147483647}};

        fixture.database().replaceScript(rows);
        QCOMPARE(fixture.storedRows(), asValues(rows));
        QCOMPARE(commandRowCount(fixture.database()), commands);

        // A row the user inserts afterwards keeps its place among the loaded ones.
        fixture.reopen();
        DataSet& script = fixture.script();
        script.moveTo(2);
        script.insert();
        script.setValue(script.fieldIndex(Command), 9);
        script.post();
        fixture.reopen();
        QList<Values> expected = asValues(rows);
        expected.insert(2, {6, 9, QVariant()});
        QCOMPARE(fixture.storedRows(), expected);
        QCOMPARE(fixture.script().rowCount(), 5);
        QCOMPARE(fixture.script().value(2, fixture.script().fieldIndex(Command)), QVariant(9));
    }

    void clearingEmptiesTheScriptOnly()
    {
        ScriptFixture fixture(numberedRows(3));
        const int commands = commandRowCount(fixture.database());
        fixture.database().clearScript();
        QCOMPARE(fixture.storedRows(), QList<Values>());
        QCOMPARE(commandRowCount(fixture.database()), commands);
    }

    void refusedRowNamesItselfAndChangesNothing()
    {
        ScriptFixture fixture(numberedRows(3));
        // A table that keys its rows by ID, as another tool may have made it.
        QVERIFY(QSqlQuery(fixture.database().connection())
                    .exec(QStringLiteral("CREATE UNIQUE INDEX \"ScriptKey\" ON \"Script\" (\"ID\")")));
        try {
            fixture.database().replaceScript({{1, 1, 1}, {2, 2, 2}, {1, 3, 3}});
            QFAIL("a second row with ID 1 was stored");
        } catch (const ScriptRowRefused& refused) {
            QCOMPARE(refused.row(), 2);
            QCOMPARE(refused.message(), QStringLiteral("UNIQUE constraint failed: Script.ID"));
        }
        QCOMPARE(fixture.storedRows(), numberedRows(3));
    }

    void lockedDatabaseChangesNothing()
    {
        ScriptFixture fixture(numberedRows(3));
        WriteLock lock(fixture.filePath());
        QVERIFY_THROWS_EXCEPTION(Failure, fixture.database().replaceScript({{1, 1, 1}}));
        QVERIFY_THROWS_EXCEPTION(Failure, fixture.database().clearScript());
        QCOMPARE(fixture.storedRows(), numberedRows(3));
    }

    // A copy of the program killed in the middle of storing a loaded script leaves the old one, whole.
    void killedReplacementLeavesTheOldScript()
    {
        ScriptFixture fixture(numberedRows(3));
        const QList<ScriptRow> rows = manyRows(100000);
        int ready[2];
        QCOMPARE(pipe(ready), 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ScriptDatabase database(fixture.filePath());
            database.open();
            // From here on the replacement is the only writer.
            const char opened = 1;
            if (write(ready[1], &opened, 1) != 1)
                _exit(1);
            database.replaceScript(rows);
            _exit(0);
        }
        char opened = 0;
        QCOMPARE(read(ready[0], &opened, 1), 1);
        bool killedInside = false;
        {
            QSqlDatabase probe = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
            probe.setDatabaseName(fixture.filePath());
            probe.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
            QVERIFY(probe.open());
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 20000 && waitpid(child, nullptr, WNOHANG) == 0) {
                if (writeLockIsTaken(probe)) {
                    kill(child, SIGKILL);
                    killedInside = true;
                    break;
                }
            }
            probe.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("probe"));
        waitpid(child, nullptr, 0);
        QVERIFY2(killedInside, "the replacement ended before it could be interrupted");
        QCOMPARE(fixture.storedRows(), numberedRows(3));

        // And an uninterrupted one leaves the new script, whole.
        fixture.database().replaceScript(rows);
        fixture.reopen();
        QCOMPARE(fixture.storedRows(), asValues(rows));
    }
};

QTEST_GUILESS_MAIN(TestScriptReplacement)
#include "test_script_replacement.moc"
