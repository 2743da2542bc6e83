#include "script/ScriptFileCommands.h"

#include "core/Failure.h"
#include "script/DataSet.h"
#include "script/ScriptCsv.h"
#include "script/ScriptDatabase.h"
#include "script/ScriptRows.h"

#include <QFileInfo>

#include <limits>

namespace {

const QString ScriptFields[] = {QStringLiteral("ID"), QStringLiteral("Script Command"), QStringLiteral("Data")};

std::optional<qint32> cellOf(const QVariant& value, const QString& fieldName)
{
    if (value.isNull())
        return std::nullopt;
    bool isNumber = false;
    const qlonglong number = value.toLongLong(&isNumber);
    if (!isNumber || number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<qint32>::max())
        throw Failure(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(value.toString(), fieldName));
    return qint32(number);
}

}  // namespace

void requireOpenScript(const DataSet& script)
{
    if (!script.isOpen())
        throw scriptNotOpen();
}

ScriptFileCommands::ScriptFileCommands(DataSet& script, ScriptDatabase& database, Questions questions,
                                       std::function<void()> stopPlayback)
    : script_(script), database_(database), questions_(std::move(questions)), stopPlayback_(std::move(stopPlayback))
{
}

void ScriptFileCommands::save()
{
    storePendingEdit();
    const QString path = questions_.savePath(fileName_);
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) && !questions_.overwrite(path))
        return;
    writeScriptFile(path, shownRows());
    fileName_ = path;
}

void ScriptFileCommands::load()
{
    storePendingEdit();
    const QString path = questions_.loadPath(fileName_);
    if (path.isEmpty())
        return;
    const ScriptCsvReading file = readScriptFile(path);
    if (script_.rowCount() > 0
        && !questions_.confirm(QStringLiteral("Replace the %1 rows of the script with the %2 rows of %3?")
                                   .arg(script_.rowCount())
                                   .arg(file.rows.size())
                                   .arg(QFileInfo(path).fileName())))
        return;
    replaceStoredScript(file.rows, file.lines, path);
    fileName_ = path;
    showStoredScript();
}

void ScriptFileCommands::clear()
{
    storePendingEdit();
    if (script_.rowCount() == 0)
        return;
    if (!questions_.confirm(QStringLiteral("Delete all %1 rows of the script?").arg(script_.rowCount())))
        return;
    database_.clearScript();
    showStoredScript();
}

void ScriptFileCommands::storePendingEdit()
{
    requireOpenScript(script_);
    script_.post();
}

// The rows as the data set shows them, in its order.
QList<ScriptRow> ScriptFileCommands::shownRows() const
{
    int fields[3];
    for (int field = 0; field < 3; ++field)
        fields[field] = script_.fieldIndex(ScriptFields[field]);
    QList<ScriptRow> rows;
    rows.reserve(script_.rowCount());
    for (int row = 0; row < script_.rowCount(); ++row)
        rows.append({cellOf(script_.value(row, fields[0]), ScriptFields[0]),
                     cellOf(script_.value(row, fields[1]), ScriptFields[1]),
                     cellOf(script_.value(row, fields[2]), ScriptFields[2])});
    return rows;
}

// A row the table does not take (a key it already holds, say) is a bad line of the file.
void ScriptFileCommands::replaceStoredScript(const QList<ScriptRow>& rows, const QList<int>& lines, const QString& path)
{
    Q_ASSERT(lines.size() == rows.size());
    try {
        database_.replaceScript(rows);
    } catch (const ScriptRowRefused& refused) {
        throw Failure(badLineMessage(path, lines.at(refused.row()), refused.message()));
    }
}

// The database already holds the new script: playback stops as Stop stops it, and the views show the rows
// from the first.
void ScriptFileCommands::showStoredScript()
{
    stopPlayback_();
    script_.reread();
}
