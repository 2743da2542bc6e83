#pragma once

#include <QString>

// Where every subsystem reports what it did: one line of plain text at a time.
class LogSink {
public:
    virtual ~LogSink() = default;
    // Throws Failure when the line does not fit.
    virtual void AppendLogLine(const QString& line) = 0;
};
