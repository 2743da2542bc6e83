#pragma once

#include "script/ScriptRow.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The first thing wrong in a script file: its line (counted from 1) and what is wrong, worded to follow
// "Line N of <file>: ".
struct ScriptCsvProblem {
    int line = 0;
    QString text;

    friend bool operator==(const ScriptCsvProblem&, const ScriptCsvProblem&) = default;
};

// A script file read whole: its rows in file order with the line each begins on, or the first problem
// (and then no rows).
struct ScriptCsvReading {
    QList<ScriptRow> rows;
    QList<int> lines;
    std::optional<ScriptCsvProblem> problem;
};

// Script files are CSV (RFC 4180) in UTF-8: the header "Line,Command,Data", then one line per row with
// whole numbers and empty fields for empty cells. Reading also takes a byte-order mark, LF line ends,
// semicolons as separator (whichever of "," and ";" comes first outside quotes on the first line), blank
// lines, quoted fields, blanks around values and a missing header.
ScriptCsvReading parseScriptCsv(QByteArrayView bytes);
// No byte-order mark, CR LF line ends.
QByteArray formatScriptCsv(const QList<ScriptRow>& rows);

// Reads and checks the whole file; throws Failure with "Line N of <path>: <problem>" or when the file
// cannot be read.
ScriptCsvReading readScriptFile(const QString& path);
// "Line N of <path>: <problem>", naming the file by its full path.
QString badLineMessage(const QString& path, int line, const QString& problem);
// Writes the file as the log file is written, with its error texts: replaced whole where the folder allows it.
void writeScriptFile(const QString& path, const QList<ScriptRow>& rows);
