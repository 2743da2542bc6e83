#pragma once

#include "script/ScriptRow.h"

#include <QList>
#include <QString>

#include <functional>

class DataSet;
class ScriptDatabase;

// Throws "The script table is not open." when the database could not be opened.
void requireOpenScript(const DataSet& script);

// Script ▸ Save, Load and Clear: the Script table to and from a script file, and emptied. The questions
// are asked through the functions given; a failure is thrown and leaves the script, the database and the
// remembered file name as they were. Each command first stores a pending edit of the current row, as a
// row move would.
class ScriptFileCommands {
public:
    struct Questions {
        // The path to save to or load from, starting from the given name; empty when the user cancelled.
        std::function<QString(const QString& initialName)> savePath;
        std::function<QString(const QString& initialName)> loadPath;
        // Whether the existing file of that path may be replaced.
        std::function<bool(const QString& path)> overwrite;
        // A "Confirm" question with OK and Cancel; true for OK.
        std::function<bool(const QString& question)> confirm;
    };

    // stopPlayback runs once the database holds the new script, before the data set shows it.
    ScriptFileCommands(DataSet& script, ScriptDatabase& database, Questions questions,
                       std::function<void()> stopPlayback);

    void save();
    void load();
    void clear();

    // The file last loaded or saved; empty until then.
    const QString& fileName() const { return fileName_; }

private:
    void storePendingEdit();
    QList<ScriptRow> shownRows() const;
    void replaceStoredScript(const QList<ScriptRow>& rows, const QList<int>& lines, const QString& path);
    void showStoredScript();

    DataSet& script_;
    ScriptDatabase& database_;
    Questions questions_;
    std::function<void()> stopPlayback_;
    QString fileName_;
};
