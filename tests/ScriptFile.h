#pragma once

#include "core/Failure.h"
#include "script/ScriptDatabase.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

// One row of a script as a test writes it; an empty value is an empty cell.
struct ScriptStep {
    QVariant command;
    QVariant data;
};

// A fresh database file at the program's own location whose Script table holds the given rows (each with
// .command and .data), numbered from 1 in their order; a window created afterwards reads them.
template <typename Rows>
void writeFreshScript(const Rows& rows)
{
    const QString path = ScriptDatabase::defaultFilePath();
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    ScriptDatabase database(path);
    database.open();
    QSqlQuery query(database.connection());
    const auto check = [&query](bool succeeded) {
        if (!succeeded)
            throw Failure(databaseErrorText(query.lastError()));
    };
    check(query.exec(QStringLiteral(R"(DELETE FROM "Script")")));
    check(query.prepare(
        QStringLiteral(R"(INSERT INTO "Script" ("ID", "Script Command", "Data", "SortKey") VALUES (?, ?, ?, ?))")));
    database.connection().transaction();
    int line = 0;
    for (const auto& row : rows) {
        ++line;
        query.addBindValue(line);
        query.addBindValue(row.command);
        query.addBindValue(row.data);
        query.addBindValue(line);
        check(query.exec());
    }
    database.connection().commit();
}
