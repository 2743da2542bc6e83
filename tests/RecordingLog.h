#pragma once

#include "core/Failure.h"
#include "log/LogSink.h"

#include <QStringList>
#include <utility>

// A log that records its lines and can be made full: with room at 0 every append fails as the pane's
// does.
struct RecordingLog : LogSink {
    QStringList lines;
    int room = -1;  // lines still taken; negative for no limit

    void AppendLogLine(const QString& line) override
    {
        if (room == 0)
            throw Failure(QStringLiteral("RichEdit line insertion error"));
        if (room > 0)
            --room;
        lines << line;
    }
    QStringList take() { return std::exchange(lines, {}); }
};
