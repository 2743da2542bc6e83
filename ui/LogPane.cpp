#include "ui/LogPane.h"

#include "core/Fonts.h"
#include "ui/SteadyScrollBar.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextDocumentFragment>

const QColor LogPane::Background(0, 0, 128);
const QColor LogPane::TextColour(255, 255, 0);

namespace {

// Log lines are plain text, so they are laid out without the font's shaping engine (and without kerning,
// as the classic rich edit control draws them): shaping was most of the cost of appending a line.
QFont paneFont()
{
    QFont font = tahomaFont(8);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QTextCharFormat paneLineFormat()
{
    QTextCharFormat format;
    format.setFont(paneFont());
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
    setHorizontalScrollBar(new SteadyScrollBar(Qt::Horizontal));
    setVerticalScrollBar(new SteadyScrollBar(Qt::Vertical));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Always there, and shown disabled while they have nothing to scroll.
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setEnabled(false);
        connect(bar, &QScrollBar::rangeChanged, bar,
                [bar](int minimum, int maximum) { bar->setEnabled(maximum > minimum); });
    }
    setFrameStyle(QFrame::Panel | QFrame::Sunken);

    // Lines are always left to right; left undecided, every layout would scan the text of the blocks it
    // passes for their direction.
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    document()->setDefaultTextOption(option);
    document()->setDefaultFont(paneFont());
    setFont(paneFont());
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
    // Decided before the insertion, which already moves the scroll range; lines whose caret placement is
    // deferred keep the decision made for the first of them.
    if (!caretPending_) {
        const QScrollBar* bar = verticalScrollBar();
        followEnd_ = bar->value() >= bar->maximum();
        keptScroll_ = bar->value();
    }
    log_.AppendLogLine(line);
}

void LogPane::placeCaret(const QTextCursor& cursor)
{
    pendingCaret_ = cursor;
    caretPending_ = true;
    caretPlacement_.request();
}

void LogPane::applyCaretPlacement()
{
    if (!caretPending_)
        return;
    caretPending_ = false;
    QScrollBar* bar = verticalScrollBar();
    // A reader who scrolled while the placement was deferred stays where they went.
    const int shown = bar->value();
    const bool readerScrolled = shown != keptScroll_;
    setTextCursor(pendingCaret_);
    bar->setValue(readerScrolled ? shown : followEnd_ ? bar->maximum() : keptScroll_);
}

int LogPane::roomFor(int insertedLength) const
{
    const QTextCursor cursor = textCursor();
    const int afterEdit = log_.length() - (cursor.selectionEnd() - cursor.selectionStart()) + insertedLength;
    return log_.capacity() - afterEdit;
}

bool LogPane::viewportEvent(QEvent* event)
{
    // The reader acts on the caret and scroll position they see.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)
        caretPlacement_.flush();
    return QTextEdit::viewportEvent(event);
}

void LogPane::keyPressEvent(QKeyEvent* event)
{
    caretPlacement_.flush();
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
