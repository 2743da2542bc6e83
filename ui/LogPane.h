#pragma once

#include "core/DeferredUpdate.h"
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
    // While deferred, the caret and the scroll position follow new lines when told to catch up.
    void setUpdatesDeferred(bool deferred) { caretPlacement_.setDeferred(deferred); }
    void catchUp() { caretPlacement_.flush(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool viewportEvent(QEvent* event) override;

private:
    int roomFor(int insertedLength) const;
    void placeCaret(const QTextCursor& cursor);
    void applyCaretPlacement();

    ActivityLog log_;
    bool followEnd_ = true;
    int keptScroll_ = 0;
    QTextCursor pendingCaret_;
    bool caretPending_ = false;
    DeferredUpdate caretPlacement_{[this] { applyCaretPlacement(); }};
};
