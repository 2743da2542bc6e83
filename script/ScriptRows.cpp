#include "script/ScriptRows.h"

#include "script/DataSet.h"

bool DataSetRows::isOpen() const
{
    return script_.isOpen();
}

qint32 DataSetRows::command() const
{
    return script_.fieldAsInt(QStringLiteral("Script Command"));
}

qint32 DataSetRows::data() const
{
    return script_.fieldAsInt(QStringLiteral("Data"));
}

void DataSetRows::next()
{
    script_.next();
}

void DataSetRows::first()
{
    script_.first();
}

bool DataSetRows::eof() const
{
    return script_.eof();
}
