#include "ui/LogPane.h"

#include "core/Fonts.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextDocumentFragment>

const QColor LogPane::Background(0, 0, 128);
const QColor LogPane::TextColour(255, 255, 0);

namespace {

QTextCharFormat paneLineFormat()
{
    QTextCharFormat format;
    format.setFont(tahomaFont(8));
    format.setForeground(LogPane::TextColour);
    return format;
}

}  // namespace

LogPane::LogPane(QWidget* parent)
    : QTextEdit(parent), log_(*document(), paneLineFormat())
{
    setObjectName(QStringLiteral("RichEdit1"));
    setAcceptRichText(true);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    // The log is the record of what was done to the port: undo must never take back a line the program
    // wrote, and an undo history of every append would grow for as long as the program logs. The pane has
    // no undo at all, for the user's edits neither.
    setUndoRedoEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Always there, and shown disabled while they have nothing to scroll.
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setEnabled(false);
        connect(bar, &QScrollBar::rangeChanged, bar,
                [bar](int minimum, int maximum) { bar->setEnabled(maximum > minimum); });
    }
    setFrameStyle(QFrame::Panel | QFrame::Sunken);

    document()->setDefaultFont(tahomaFont(8));
    setFont(tahomaFont(8));
    setCurrentCharFormat(paneLineFormat());

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Background);
    colours.setColor(QPalette::Text, TextColour);
    // The selection is shown only while the pane has the focus.
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Background);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, TextColour);
    setPalette(colours);

    log_.setCaretHandler([this](const QTextCursor& cursor) { placeCaret(cursor); });
    document()->setModified(false);
}

QTextCharFormat LogPane::lineFormat() const
{
    return paneLineFormat();
}

void LogPane::AppendLogLine(const QString& line)
{
    // Follow the new line only when the end was already in view: a reader who scrolled up stays put.
    // Decided before the insertion, which already moves the scroll range.
    const QScrollBar* bar = verticalScrollBar();
    followEnd_ = bar->value() >= bar->maximum();
    keptScroll_ = bar->value();
    log_.AppendLogLine(line);
}

void LogPane::placeCaret(const QTextCursor& cursor)
{
    QScrollBar* bar = verticalScrollBar();
    setTextCursor(cursor);
    bar->setValue(followEnd_ ? bar->maximum() : keptScroll_);
}

int LogPane::roomFor(int insertedLength) const
{
    const QTextCursor cursor = textCursor();
    const int afterEdit = log_.length() - (cursor.selectionEnd() - cursor.selectionStart()) + insertedLength;
    return log_.capacity() - afterEdit;
}

void LogPane::keyPressEvent(QKeyEvent* event)
{
    const bool insertsText = !event->text().isEmpty() && (event->text().at(0).isPrint()
                                                          || event->key() == Qt::Key_Return
                                                          || event->key() == Qt::Key_Enter);
    if (insertsText && !(event->modifiers() & Qt::ControlModifier) && roomFor(1) < 0) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void LogPane::inputMethodEvent(QInputMethodEvent* event)
{
    if (roomFor(static_cast<int>(event->commitString().size())) < 0) {
        event->accept();
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

void LogPane::insertFromMimeData(const QMimeData* source)
{
    const QString plain = source->text();
    const QTextDocumentFragment rich = source->hasHtml() ? QTextDocumentFragment::fromHtml(source->html())
                                                         : QTextDocumentFragment();
    const int richLength = static_cast<int>(rich.toPlainText().size());
    if (source->hasHtml() && acceptRichText() && roomFor(richLength) >= 0) {
        textCursor().insertFragment(rich);
        ensureCursorVisible();
        return;
    }
    const int room = roomFor(0);
    if (room <= 0)
        return;
    textCursor().insertText(plain.left(room));
    ensureCursorVisible();
}
