#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>

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

private:
    void openExisting();
    void createFile();
    void build(const QString& path);
    void execute(const QString& statement);
    [[noreturn]] void fail(const QSqlError& error);

    QString filePath_;
    QString connectionName_;
};

// The database's own words for an error, falling back to Qt's when the database gave none.
QString databaseErrorText(const QSqlError& error);
