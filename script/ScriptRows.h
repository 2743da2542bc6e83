#pragma once

#include "core/Failure.h"

#include <QtGlobal>

class DataSet;

// What a command that needs the script raises when the database could not be opened.
inline Failure scriptNotOpen()
{
    return Failure(QStringLiteral("The script table is not open."));
}

// What the player needs of the script: the current row's command and argument and the moves of the
// shared cursor. The end flag is set by a move to the next row that finds none (the cursor stays on the
// last row) and cleared by a move that lands on another row.
class ScriptRows {
public:
    virtual ~ScriptRows() = default;
    virtual bool isOpen() const = 0;
    // The current row's fields; empty cells and an empty table read as 0.
    virtual qint32 command() const = 0;
    virtual qint32 data() const = 0;
    // Each move first stores a pending edit of the current row, and throws Failure when it cannot.
    virtual void next() = 0;
    virtual void first() = 0;
    virtual bool eof() const = 0;
};

// The Script table's data set, whose cursor the grid, the navigator and the edit boxes share.
class DataSetRows final : public ScriptRows {
public:
    explicit DataSetRows(DataSet& script) : script_(script) {}

    bool isOpen() const override;
    qint32 command() const override;
    qint32 data() const override;
    void next() override;
    void first() override;
    bool eof() const override;

private:
    DataSet& script_;
};
