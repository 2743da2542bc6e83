#pragma once

#include "core/Failure.h"
#include "script/ScriptRow.h"

#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>

class QSqlError;

// The database file that holds the script and the command reference. A missing file is created with both
// tables and a demonstration script; a file that is there is only ever opened, never replaced or repaired.
// Other copies of the program may have the same file open (write-ahead journal, short lock waits).
class ScriptDatabase : public QObject {
    Q_OBJECT
public:
    static constexpr int LockWaitMilliseconds = 250;

    explicit ScriptDatabase(QString filePath, QObject* parent = nullptr);
    ~ScriptDatabase() override;

    // Quillet2005.db in the application's data folder.
    static QString defaultFilePath();

    const QString& filePath() const { return filePath_; }
    bool isOpen() const;
    // Opens the connection, creating the file first when it is missing; throws Failure with the
    // database's own text. Calling it on an open connection does nothing.
    void open();
    QSqlDatabase connection() const;

    // Replaces every row of the Script table by the given rows, kept in their order, in one transaction:
    // another connection, and the file after a crash, hold the old script or the new one, whole. The command
    // reference is untouched. Throws ScriptRowRefused for a row the table does not take, Failure for any
    // other error; the table is then as it was.
    void replaceScript(const QList<ScriptRow>& rows);
    // Deletes every row of the Script table in one transaction.
    void clearScript();

private:
    void openExisting();
    void createFile();
    void build(const QString& path);
    void changeScriptWhole(const std::function<void(QSqlDatabase&)>& fill);
    void execute(const QString& statement);
    [[noreturn]] void fail(const QSqlError& error);

    QString filePath_;
    QString connectionName_;
};

// A row of a whole script that the database refused: its index in the rows given, and the database's words.
class ScriptRowRefused : public Failure {
public:
    ScriptRowRefused(int row, QString message) : Failure(std::move(message)), row_(row) {}
    int row() const { return row_; }

private:
    int row_;
};

// The database's own words for an error, falling back to Qt's when the database gave none.
QString databaseErrorText(const QSqlError& error);
