#pragma once

#include <QtGlobal>

#include <optional>

// One row of the Script table as a script file holds it: ID, Script Command and Data; an empty cell is
// no value.
struct ScriptRow {
    std::optional<qint32> id;
    std::optional<qint32> command;
    std::optional<qint32> data;

    friend bool operator==(const ScriptRow&, const ScriptRow&) = default;
};
