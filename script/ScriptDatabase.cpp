#include "script/ScriptDatabase.h"

#include "core/Failure.h"
#include "script/Commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <algorithm>

namespace {

// Both tables are STRICT, so a value of the wrong kind is refused by the database itself; the CHECKs keep
// the whole numbers within 32 bits. SortKey is the rows' order as the user arranged it.
const char* const Schema[] = {
    R"(CREATE TABLE "CommandTable" (
         "CommandID" INTEGER CHECK ("CommandID" BETWEEN -2147483648 AND 2147483647),
         "CommandName" TEXT,
         "Command Description" TEXT,
         "SortKey" REAL
       ) STRICT)",
    R"(CREATE TABLE "Script" (
         "ID" INTEGER CHECK ("ID" BETWEEN -2147483648 AND 2147483647),
         "Script Command" INTEGER CHECK ("Script Command" BETWEEN -2147483648 AND 2147483647),
         "Data" INTEGER CHECK ("Data" BETWEEN -2147483648 AND 2147483647),
         "SortKey" REAL
       ) STRICT)",
};

struct CommandReference {
    int id;
    const char* name;
    const char* description;
};

const CommandReference Commands[] = {
    {ScriptCommand::WriteByte, "Write Byte", "Writes Data (0 to 255) to the data register; other Data logs Invalid Data"},
    {ScriptCommand::lineOn(0), "D0 On", "Switches data line D0 on; the other lines keep their state"},
    {ScriptCommand::lineOn(1), "D1 On", "Switches data line D1 on; the other lines keep their state"},
    {ScriptCommand::lineOn(2), "D2 On", "Switches data line D2 on; the other lines keep their state"},
    {ScriptCommand::lineOn(3), "D3 On", "Switches data line D3 on; the other lines keep their state"},
    {ScriptCommand::lineOn(4), "D4 On", "Switches data line D4 on; the other lines keep their state"},
    {ScriptCommand::lineOn(5), "D5 On", "Switches data line D5 on; the other lines keep their state"},
    {ScriptCommand::lineOn(6), "D6 On", "Switches data line D6 on; the other lines keep their state"},
    {ScriptCommand::lineOn(7), "D7 On", "Switches data line D7 on; the other lines keep their state"},
    {ScriptCommand::lineOff(0), "D0 Off", "Switches data line D0 off; the other lines keep their state"},
    {ScriptCommand::lineOff(1), "D1 Off", "Switches data line D1 off; the other lines keep their state"},
    {ScriptCommand::lineOff(2), "D2 Off", "Switches data line D2 off; the other lines keep their state"},
    {ScriptCommand::lineOff(3), "D3 Off", "Switches data line D3 off; the other lines keep their state"},
    {ScriptCommand::lineOff(4), "D4 Off", "Switches data line D4 off; the other lines keep their state"},
    {ScriptCommand::lineOff(5), "D5 Off", "Switches data line D5 off; the other lines keep their state"},
    {ScriptCommand::lineOff(6), "D6 Off", "Switches data line D6 off; the other lines keep their state"},
    {ScriptCommand::lineOff(7), "D7 Off", "Switches data line D7 off; the other lines keep their state"},
    {ScriptCommand::AllLinesOn, "All On", "Writes 0x00: all data lines on"},
    {ScriptCommand::AllLinesOff, "All Off", "Writes 0xFF: all data lines off"},
    {ScriptCommand::Wait, "Wait", "Waits Data milliseconds before the next row"},
    {0, "Other", "Any other code, 0 and negative ones too: logs Unrecognized Command, does nothing else"},
};

constexpr int StepMilliseconds = 150;

// A running light over D0..D7, ready to play on a first start.
QList<ScriptRow> demonstrationScript()
{
    QList<ScriptRow> rows{{1, ScriptCommand::AllLinesOff, std::nullopt}};
    const auto add = [&rows](int command, std::optional<qint32> data) {
        rows.append({qint32(rows.size() + 1), command, data});
    };
    for (int line = 0; line < 8; ++line) {
        add(ScriptCommand::lineOn(line), std::nullopt);
        add(ScriptCommand::Wait, StepMilliseconds);
        add(ScriptCommand::lineOff(line), std::nullopt);
    }
    add(ScriptCommand::AllLinesOff, std::nullopt);
    return rows;
}

constexpr int RowsPerStatement = 500;
constexpr int SqliteConstraint = 19;

// A value of the row that the table's rules refuse (a CHECK, a key), as against a failure of the database.
bool isRefusal(const QSqlError& error)
{
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber);
    return isNumber && (code & 0xFF) == SqliteConstraint;
}

[[noreturn]] void failInsert(const QSqlError& error, int row)
{
    if (isRefusal(error))
        throw ScriptRowRefused(row, databaseErrorText(error));
    throw Failure(databaseErrorText(error));
}

QByteArray literal(const std::optional<qint32>& value)
{
    return value ? QByteArray::number(*value) : QByteArrayLiteral("NULL");
}

// One at a time, so that a refusal names its row.
void insertEachScriptRow(QSqlDatabase& database, const QList<ScriptRow>& rows, int first, int end)
{
    QSqlQuery insert(database);
    if (!insert.prepare(QStringLiteral(
            R"(INSERT INTO "Script" ("ID", "Script Command", "Data", "SortKey") VALUES (?, ?, ?, ?))")))
        throw Failure(databaseErrorText(insert.lastError()));
    const auto cell = [](const std::optional<qint32>& value) { return value ? QVariant(*value) : QVariant(); };
    for (int row = first; row < end; ++row) {
        insert.bindValue(0, cell(rows[row].id));
        insert.bindValue(1, cell(rows[row].command));
        insert.bindValue(2, cell(rows[row].data));
        insert.bindValue(3, double(row + 1));
        if (!insert.exec())
            failInsert(insert.lastError(), row);
    }
}

// Appends the rows with the keys the data set gives rows placed by the user, so their order is the table's.
// A few hundred rows go in one statement with the whole numbers in its text, which the database takes far
// faster than bound values; a statement the table refuses changes nothing, and its rows then go in one at a
// time to find the refused one.
void insertScriptRows(QSqlDatabase& database, const QList<ScriptRow>& rows)
{
    QSqlQuery insert(database);
    for (int first = 0; first < rows.size(); first += RowsPerStatement) {
        const int end = std::min(first + RowsPerStatement, int(rows.size()));
        QByteArray statement = R"(INSERT INTO "Script" ("ID", "Script Command", "Data", "SortKey") VALUES )";
        for (int row = first; row < end; ++row) {
            statement += '(' + literal(rows[row].id) + ',' + literal(rows[row].command) + ',' + literal(rows[row].data)
                         + ',' + QByteArray::number(row + 1) + ".0),";
        }
        statement.chop(1);
        if (insert.exec(QString::fromLatin1(statement)))
            continue;
        if (!isRefusal(insert.lastError()))
            throw Failure(databaseErrorText(insert.lastError()));
        insertEachScriptRow(database, rows, first, end);
    }
}

int nextConnectionNumber()
{
    static int number = 0;
    return ++number;
}

}  // namespace

QString databaseErrorText(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

ScriptDatabase::ScriptDatabase(QString filePath, QObject* parent)
    : QObject(parent),
      filePath_(std::move(filePath)),
      connectionName_(QStringLiteral("ScriptDatabase%1").arg(nextConnectionNumber()))
{
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    database.setDatabaseName(filePath_);
    database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(LockWaitMilliseconds));
}

ScriptDatabase::~ScriptDatabase()
{
    QSqlDatabase::database(connectionName_, false).close();
    QSqlDatabase::removeDatabase(connectionName_);
}

QString ScriptDatabase::defaultFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("Quillet2005.db"));
}

bool ScriptDatabase::isOpen() const
{
    return connection().isOpen();
}

QSqlDatabase ScriptDatabase::connection() const
{
    return QSqlDatabase::database(connectionName_, false);
}

void ScriptDatabase::open()
{
    if (isOpen())
        return;
    if (QFileInfo::exists(filePath_))
        openExisting();
    else
        createFile();
}

void ScriptDatabase::openExisting()
{
    QSqlDatabase database = connection();
    if (!database.open())
        fail(database.lastError());
    // The driver opens any file without complaint; reading the schema is the first real test of it.
    QSqlQuery schema(database);
    if (!schema.exec(QStringLiteral("SELECT count(*) FROM sqlite_schema")))
        fail(schema.lastError());
}

// Built under a name of its own beside the target and moved into place whole, so neither a failure half-way
// nor a second copy starting at the same moment leaves or sees a half-made file.
void ScriptDatabase::createFile()
{
    const QString folder = QFileInfo(filePath_).absolutePath();
    if (!QDir().mkpath(folder))
        throw Failure(QStringLiteral("Cannot create the folder %1").arg(folder));
    const QString building = QStringLiteral("%1.%2.new").arg(filePath_).arg(QCoreApplication::applicationPid());
    const auto removeLeftover = qScopeGuard([&building] { QFile::remove(building); });
    QFile::remove(building);
    build(building);
    QFile built(building);
    // When another copy has just put its own file in place, that one is used.
    if (!built.rename(filePath_) && !QFileInfo::exists(filePath_))
        throw Failure(QStringLiteral("Cannot create %1: %2").arg(filePath_, built.errorString()));
    openExisting();
}

void ScriptDatabase::build(const QString& path)
{
    QSqlDatabase database = connection();
    database.setDatabaseName(path);
    const auto aimAtTarget = qScopeGuard([&database, this] {
        database.close();
        database.setDatabaseName(filePath_);
    });
    if (!database.open())
        fail(database.lastError());
    execute(QStringLiteral("PRAGMA journal_mode=WAL"));
    if (!database.transaction())
        fail(database.lastError());
    for (const char* table : Schema)
        execute(QString::fromLatin1(table));

    QSqlQuery command(database);
    command.prepare(QStringLiteral(R"(INSERT INTO "CommandTable" ("CommandID", "CommandName",
                                      "Command Description", "SortKey") VALUES (?, ?, ?, ?))"));
    int sortKey = 0;
    for (const CommandReference& reference : Commands) {
        command.addBindValue(reference.id);
        command.addBindValue(QString::fromLatin1(reference.name));
        command.addBindValue(QString::fromLatin1(reference.description));
        command.addBindValue(++sortKey);
        if (!command.exec())
            fail(command.lastError());
    }

    insertScriptRows(database, demonstrationScript());
    if (!database.commit())
        fail(database.lastError());
}

void ScriptDatabase::replaceScript(const QList<ScriptRow>& rows)
{
    changeScriptWhole([&rows](QSqlDatabase& database) { insertScriptRows(database, rows); });
}

void ScriptDatabase::clearScript()
{
    changeScriptWhole([](QSqlDatabase&) {});
}

// Deletes the script, lets fill put rows in its place, and commits; on any failure nothing changes.
void ScriptDatabase::changeScriptWhole(const std::function<void(QSqlDatabase&)>& fill)
{
    QSqlDatabase database = connection();
    if (!database.transaction())
        throw Failure(databaseErrorText(database.lastError()));
    auto rollBack = qScopeGuard([&database] { database.rollback(); });
    QSqlQuery remove(database);
    if (!remove.exec(QStringLiteral(R"(DELETE FROM "Script")")))
        throw Failure(databaseErrorText(remove.lastError()));
    fill(database);
    if (!database.commit())
        throw Failure(databaseErrorText(database.lastError()));
    rollBack.dismiss();
}

void ScriptDatabase::execute(const QString& statement)
{
    QSqlQuery query(connection());
    if (!query.exec(statement))
        fail(query.lastError());
}

void ScriptDatabase::fail(const QSqlError& error)
{
    // A connection that failed half-way is closed, so the next step tries it again from the start.
    connection().close();
    throw Failure(databaseErrorText(error));
}
