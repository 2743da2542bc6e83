#include "log/ActivityLog.h"

#include "core/Failure.h"

#include <QTextCursor>
#include <QTextDocument>

ActivityLog::ActivityLog(QTextDocument& document, QTextCharFormat lineFormat, int capacity)
    : document_(document), lineFormat_(std::move(lineFormat)), capacity_(capacity)
{
    Q_ASSERT(capacity > 0);
}

int ActivityLog::length() const
{
    // The document always holds one closing paragraph separator that is not part of the text.
    return document_.characterCount() - 1;
}

bool ActivityLog::endsWithLineBreak() const
{
    return document_.characterAt(length() - 1) == QChar::ParagraphSeparator;
}

void ActivityLog::AppendLogLine(const QString& line)
{
    Q_ASSERT(!line.contains(u'\n') && !line.contains(u'\r'));
    const int end = length();
    const QString text = (end == 0 || endsWithLineBreak()) ? line + u'\n' : u'\n' + line;

    QTextCursor cursor(&document_);
    cursor.movePosition(QTextCursor::End);
    // Only as much as fits goes in; the rest is reported below.
    cursor.insertText(text.left(std::max(0, capacity_ - end)), lineFormat_);
    if (caretHandler_)
        caretHandler_(cursor);
    if (cursor.position() != end + text.size())
        throw Failure(QStringLiteral("RichEdit line insertion error"));
}
