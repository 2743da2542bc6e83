#pragma once

#include "log/LogSink.h"

#include <QTextCharFormat>
#include <functional>

class QTextCursor;
class QTextDocument;

// Appends lines at the end of the log document, whatever the user's caret and selection.
class ActivityLog : public LogSink {
public:
    static constexpr int Capacity = 65536;

    ActivityLog(QTextDocument& document, QTextCharFormat lineFormat, int capacity = Capacity);

    void AppendLogLine(const QString& line) override;

    // Characters held; a line break counts as one.
    int length() const;
    int capacity() const { return capacity_; }

    // Told where the caret now stands after each append, so the pane can move its own caret there.
    void setCaretHandler(std::function<void(const QTextCursor&)> handler) { caretHandler_ = std::move(handler); }

private:
    bool endsWithLineBreak() const;

    QTextDocument& document_;
    QTextCharFormat lineFormat_;
    int capacity_;
    std::function<void(const QTextCursor&)> caretHandler_;
};
