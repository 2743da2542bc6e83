#pragma once

#include "log/ActivityLog.h"

#include <QTextEdit>

// The activity log pane: an ordinary editable rich-text area, without undo, whose appends go through
// ActivityLog and whose capacity bounds typing and pasting as well.
class LogPane : public QTextEdit, public LogSink {
    Q_OBJECT
public:
    static const QColor Background;
    static const QColor TextColour;

    explicit LogPane(QWidget* parent = nullptr);

    void AppendLogLine(const QString& line) override;
    ActivityLog& activityLog() { return log_; }
    QTextCharFormat lineFormat() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int roomFor(int insertedLength) const;
    void placeCaret(const QTextCursor& cursor);

    ActivityLog log_;
    bool followEnd_ = true;
    int keptScroll_ = 0;
};
