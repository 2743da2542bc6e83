#include "core/Failure.h"
#include "log/ActivityLog.h"
#include "ui/LogPane.h"
#include "ui/ErrorReport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextBlock>
#include <QTextDocument>

class ActivityLogTest : public QObject {
    Q_OBJECT

private slots:
    void firstLineEndsWithOneLineBreak()
    {
        LogPane pane;
        pane.AppendLogLine(QStringLiteral("  Open OK!"));
        QCOMPARE(pane.toPlainText(), QStringLiteral("  Open OK!\n"));
        QCOMPARE(pane.textCursor().position(), 11);
    }

    void blanksAreKept()
    {
        LogPane pane;
        pane.AppendLogLine(QStringLiteral("Scan Mode.....  "));
        pane.AppendLogLine(QStringLiteral("  Open OK!"));
        QCOMPARE(pane.toPlainText(), QStringLiteral("Scan Mode.....  \n  Open OK!\n"));
    }

    void textTypedWithoutEnterGetsItsOwnLineBreak()
    {
        LogPane pane;
        pane.AppendLogLine(QStringLiteral("one"));
        pane.moveCursor(QTextCursor::End);
        QTest::keyClicks(&pane, QStringLiteral("typed"));
        pane.AppendLogLine(QStringLiteral("two"));
        QCOMPARE(pane.toPlainText(), QStringLiteral("one\ntyped\ntwo"));
        pane.AppendLogLine(QStringLiteral("three"));
        // It starts on a line of its own; the text still ends without a line break.
        QCOMPARE(pane.toPlainText(), QStringLiteral("one\ntyped\ntwo\nthree"));
    }

    void appendDropsSelectionAndPutsCaretAtEnd()
    {
        LogPane pane;
        pane.AppendLogLine(QStringLiteral("first line"));
        pane.AppendLogLine(QStringLiteral("second line"));
        QTextCursor selection(pane.document());
        selection.setPosition(2);
        selection.setPosition(7, QTextCursor::KeepAnchor);
        pane.setTextCursor(selection);

        pane.AppendLogLine(QStringLiteral("third"));

        QCOMPARE(pane.toPlainText(), QStringLiteral("first line\nsecond line\nthird\n"));
        QVERIFY(!pane.textCursor().hasSelection());
        QCOMPARE(pane.textCursor().position(), pane.activityLog().length());
    }

    void appendedTextHasThePaneFormatWhateverPrecedesIt()
    {
        LogPane pane;
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setForeground(Qt::red);
        pane.textCursor().insertText(QStringLiteral("pasted\n"), bold);
        pane.AppendLogLine(QStringLiteral("line"));
        QTextCursor last(pane.document()->lastBlock().previous());
        last.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(last.charFormat().foreground().color(), LogPane::TextColour);
        QVERIFY(last.charFormat().fontWeight() != QFont::Bold);
    }

    void viewFollowsNewLinesOnlyFromTheEnd()
    {
        LogPane pane;
        pane.resize(300, 100);
        pane.show();
        QScrollBar* bar = pane.verticalScrollBar();
        for (int line = 0; line < 40; ++line)
            pane.AppendLogLine(QStringLiteral("line %1").arg(line));
        QTRY_VERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());

        bar->setValue(0);
        pane.AppendLogLine(QStringLiteral("while reading above"));
        QCoreApplication::processEvents();
        QCOMPARE(bar->value(), 0);
    }

    // The user's undo must not take back what the program logged: Ctrl+Z changes nothing at all.
    void undoNeverRemovesLoggedLines()
    {
        LogPane pane;
        pane.AppendLogLine(QStringLiteral("Try to open the driver..."));
        pane.moveCursor(QTextCursor::End);
        QTest::keyClicks(&pane, QStringLiteral("note"));
        pane.AppendLogLine(QStringLiteral("  Open OK!"));
        for (int press = 0; press < 4; ++press)
            QTest::keyClick(&pane, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pane.toPlainText(), QStringLiteral("Try to open the driver...\nnote\n  Open OK!"));
    }

    // Nothing of what was logged or cleared is kept for an undo: the memory of a long session stays flat.
    void loggingAndClearingKeepNoHistory()
    {
        LogPane pane;
        for (int round = 0; round < 3; ++round) {
            for (int line = 0; line < 100; ++line)
                pane.AppendLogLine(QStringLiteral("  inp(0x378) = 0xFE"));
            QTest::keyClick(&pane, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(&pane, Qt::Key_Delete);
        }
        QCOMPARE(pane.toPlainText(), QString());
        QCOMPARE(pane.document()->availableUndoSteps(), 0);
        QCOMPARE(pane.document()->availableRedoSteps(), 0);
    }

    void scrollBarsAreDisabledWhileNothingScrolls()
    {
        LogPane pane;
        pane.resize(300, 100);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QScrollBar* across = pane.horizontalScrollBar();
        QScrollBar* down = pane.verticalScrollBar();
        QVERIFY(across->isVisible() && down->isVisible());
        QVERIFY(!across->isEnabled());
        QVERIFY(!down->isEnabled());

        for (int line = 0; line < 40; ++line)
            pane.AppendLogLine(QStringLiteral("a line long enough to wrap at the width of this small pane"));
        QTRY_VERIFY(down->isEnabled());
        // Lines wrap, so there is never anything to scroll across.
        QVERIFY(!across->isEnabled());

        pane.clear();
        QTRY_VERIFY(!down->isEnabled());
        QVERIFY(across->isVisible() && down->isVisible());
    }

    // While deferred (a script playing), the caret and the view catch up when the deferral ends, and a
    // reader who scrolled up in between stays there.
    void deferredFollowingCatchesUpAndKeepsTheReadersScroll()
    {
        LogPane pane;
        pane.resize(300, 100);
        pane.show();
        QScrollBar* bar = pane.verticalScrollBar();
        for (int line = 0; line < 40; ++line)
            pane.AppendLogLine(QStringLiteral("line %1").arg(line));
        QTRY_VERIFY(bar->maximum() > 0);

        pane.setUpdatesDeferred(true);
        for (int line = 0; line < 40; ++line)
            pane.AppendLogLine(QStringLiteral("played %1").arg(line));
        pane.setUpdatesDeferred(false);
        QCOMPARE(pane.textCursor().position(), pane.activityLog().length());
        QCOMPARE(bar->value(), bar->maximum());

        pane.setUpdatesDeferred(true);
        pane.AppendLogLine(QStringLiteral("played once more"));
        bar->setValue(0);
        pane.AppendLogLine(QStringLiteral("while reading above"));
        pane.setUpdatesDeferred(false);
        QCOMPARE(bar->value(), 0);
    }

    void fullLogKeepsWhatFitsAndFailsEveryAppend()
    {
        QTextDocument document;
        ActivityLog log(document, QTextCharFormat(), 20);
        log.AppendLogLine(QStringLiteral("0123456789"));
        try {
            log.AppendLogLine(QStringLiteral("abcdefghij"));
            QFAIL("the append that does not fit must fail");
        } catch (const Failure& failure) {
            QCOMPARE(failure.message(), QStringLiteral("RichEdit line insertion error"));
        }
        QCOMPARE(document.toPlainText(), QStringLiteral("0123456789\nabcdefghi"));
        QVERIFY_THROWS_EXCEPTION(Failure, log.AppendLogLine(QStringLiteral("x")));
        QCOMPARE(log.length(), 20);
    }

    void typingAndPastingStopAtCapacity()
    {
        LogPane pane;
        const QString line(99, u'x');
        while (pane.activityLog().length() + 100 <= pane.activityLog().capacity())
            pane.AppendLogLine(line);
        pane.moveCursor(QTextCursor::End);
        const int room = pane.activityLog().capacity() - pane.activityLog().length();
        QTest::keyClicks(&pane, QString(room + 5, u'y'));
        QCOMPARE(pane.activityLog().length(), pane.activityLog().capacity());
        QGuiApplication::clipboard()->setText(QStringLiteral("more"));
        pane.paste();
        QCOMPARE(pane.activityLog().length(), pane.activityLog().capacity());
    }

    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "RichEdit line insertion error" << "RichEdit line insertion error.";
        QTest::newRow("full stop") << "Done." << "Done.";
        QTest::newRow("exclamation") << "Stop!" << "Stop!";
        QTest::newRow("parenthesis") << "(x)" << "(x)";
        QTest::newRow("hyphen below dot") << "a-" << "a-";
        QTest::newRow("slash above dot") << "a/" << "a/.";
        QTest::newRow("digit") << "code 5" << "code 5.";
        QTest::newRow("quote") << "file \"x\"" << "file \"x\"";
        QTest::newRow("empty") << "" << "";
    }

    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(withFullStop(message), shown);
    }

    void onlyOneErrorBoxAtATime()
    {
        QStringList shown;
        setFailurePresenter([&shown](const QString& text) {
            shown << text;
            reportFailure(QStringLiteral("raised while the box is open"));
        });
        reportFailure(QStringLiteral("first"));
        reportFailure(QStringLiteral("second"));
        setFailurePresenter({});
        QCOMPARE(shown, QStringList({QStringLiteral("first."), QStringLiteral("second.")}));
    }
};

QTEST_MAIN(ActivityLogTest)
#include "test_activity_log.moc"
