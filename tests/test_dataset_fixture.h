#pragma once

#include "script/DataSet.h"
#include "script/ScriptDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Values = QList<QVariant>;  // ID, Script Command, Data

// The Script rows of the database file as another connection reads them, in the store's order.
inline QList<Values> storedScriptRows(const QString& path)
{
    const auto stored = [](const QSqlQuery& query, int column) {
        return query.isNull(column) ? QVariant() : query.value(column);
    };
    QList<Values> rows;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture-check"));
        other.setDatabaseName(path);
        if (!other.open())
            return rows;
        QSqlQuery query(other);
        query.exec(QStringLiteral("SELECT \"ID\", \"Script Command\", \"Data\" FROM \"Script\" ORDER BY \"SortKey\""));
        while (query.next())
            rows.append({stored(query, 0), stored(query, 1), stored(query, 2)});
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture-check"));
    return rows;
}

// Replaces the Script table's rows with these, in this order; false when the database refused them.
inline bool fillScript(QSqlDatabase connection, const QList<Values>& rows)
{
    QSqlQuery query(connection);
    if (!query.exec(QStringLiteral("DELETE FROM \"Script\"")))
        return false;
    query.prepare(QStringLiteral(
        "INSERT INTO \"Script\" (\"ID\", \"Script Command\", \"Data\", \"SortKey\") VALUES (?, ?, ?, ?)"));
    for (int row = 0; row < rows.size(); ++row) {
        for (const QVariant& value : rows[row])
            query.addBindValue(value);
        query.addBindValue(row + 1);
        if (!query.exec())
            return false;
    }
    return true;
}

// A database file in a temporary folder whose Script table holds the given rows, opened through the store.
class ScriptFixture {
public:
    explicit ScriptFixture(const QList<Values>& rows)
    {
        open();
        fill(rows);
        reopen();
    }

    QString filePath() const { return directory_.filePath(QStringLiteral("Quillet2005.db")); }
    ScriptDatabase& database() { return *database_; }
    DataSet& script() { return *script_; }

    // A fresh connection and data set, as after a restart.
    void reopen()
    {
        script_.reset();
        database_.reset();
        open();
        script_->open();
    }

    // What another connection reads, in the store's order.
    QList<Values> storedRows() const { return storedScriptRows(filePath()); }

private:
    void fill(const QList<Values>& rows) { QVERIFY2(fillScript(database_->connection(), rows), "cannot fill the script"); }

    void open()
    {
        database_ = std::make_unique<ScriptDatabase>(filePath());
        script_ = std::make_unique<DataSet>(*database_, QStringLiteral("Script"), QStringLiteral("ID"));
        database_->open();
    }

    QTemporaryDir directory_;
    std::unique_ptr<ScriptDatabase> database_;
    std::unique_ptr<DataSet> script_;
};

inline QList<Values> numberedRows(int count)
{
    QList<Values> rows;
    for (int line = 1; line <= count; ++line)
        rows.append({line, line, line * 10});
    return rows;
}
