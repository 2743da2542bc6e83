#include "log/ActivityLog.h"
#include "log/RtfWriter.h"
#include "tests/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace {

const QColor Yellow(255, 255, 0);
const QColor Navy(0, 0, 128);

RtfDefaults paneDefaults()
{
    return {QFont(QStringLiteral("Tahoma"), 8), Yellow, Navy};
}

struct TextCase {
    const char* name;
    QString typed;
    // What a reader shows, line by line; the typed text where this is empty.
    QString shown;
};

// Texts as the user may type or paste them; lines are separated by \n as in the pane.
const QList<TextCase>& textCases()
{
    static const QList<TextCase> cases{
        {"empty log", QString(), QString()},
        {"one line with its line break", QStringLiteral("Try to open the driver...\n"), QString()},
        {"last line without line break", QStringLiteral("  Open OK!\nScan Mode.....  "), QString()},
        {"empty lines", QStringLiteral("\n\nthird\n\n"), QString()},
        {"braces and backslashes", QStringLiteral("{\\rtf1 \\par} \\\\ {{x}} \\u233? \\'e9"), QString()},
        {"tabs", QStringLiteral("a\tb\t\tc\n\tindented"), QString()},
        {"accented letters", QStringLiteral("déjà vu, Ärger, niño, Øre, € 5, ß"), QString()},
        {"outside the basic plane", QStringLiteral("smile \U0001F600, clef \U0001D11E, \U00010348"), QString()},
        {"other scripts", QStringLiteral("Ελληνικά, кириллица, 日本語, עברית"), QString()},
        {"control characters", QStringLiteral("bell\u0007 escape\u001B del\u007F end"),
         QStringLiteral("bell escape del end")},
        {"soft line break", QStringLiteral("one\u2028two"), QStringLiteral("one\ntwo")},
    };
    return cases;
}

QString fileStem(qsizetype index)
{
    return QStringLiteral("text-%1").arg(index);
}

struct FormatCase {
    const char* marker;
    QString family;
    int points;
    QColor colour;
    bool bold;
    bool italic;
    bool underline;
    bool strikeOut;
};

const QList<FormatCase>& formatCases()
{
    static const QList<FormatCase> cases{
        {"appendedline", QStringLiteral("Tahoma"), 8, Yellow, false, false, false, false},
        {"unformatted", QStringLiteral("Tahoma"), 8, Yellow, false, false, false, false},
        {"courierbold", QStringLiteral("Courier New"), 12, Qt::red, true, false, false, false},
        {"timesitalic", QStringLiteral("Times New Roman"), 10, Qt::green, false, true, true, false},
        {"midlinestruck", QStringLiteral("Verdana"), 14, QColor(0x12, 0x34, 0x56), false, false, true, true},
        {"afterrun", QStringLiteral("Tahoma"), 8, Yellow, false, false, false, false},
    };
    return cases;
}

QTextCharFormat formatOf(const FormatCase& wanted)
{
    QTextCharFormat format;
    format.setFontFamilies({wanted.family});
    format.setFontPointSize(wanted.points);
    format.setForeground(wanted.colour);
    format.setFontWeight(wanted.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(wanted.italic);
    format.setFontUnderline(wanted.underline);
    format.setFontStrikeOut(wanted.strikeOut);
    return format;
}

// A log as the program and the user fill it: a line appended by the program, a typed one without any
// format of its own, pasted lines in other fonts, and a line whose middle run differs from its ends.
void fillWithFormats(QTextDocument& document)
{
    const QList<FormatCase>& cases = formatCases();
    ActivityLog(document, formatOf(cases[0])).AppendLogLine(QString::fromLatin1(cases[0].marker));
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString::fromLatin1(cases[1].marker) + u'\n', QTextCharFormat());
    cursor.insertText(QString::fromLatin1(cases[2].marker) + u'\n', formatOf(cases[2]));
    cursor.insertText(QString::fromLatin1(cases[3].marker) + u'\n', formatOf(cases[3]));
    cursor.insertText(QStringLiteral("before "), formatOf(cases[0]));
    cursor.insertText(QString::fromLatin1(cases[4].marker), formatOf(cases[4]));
    cursor.insertText(u' ' + QString::fromLatin1(cases[5].marker), formatOf(cases[5]));
}

QString readUtf8(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no file %1>").arg(path);
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

// Every document is read back by an independent RTF reader, LibreOffice: its plain-text export shows the
// text and lines it recovered, its HTML export the formatting.
class TestRtfWriter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void writesAsciiWithSignedUnicodeEscapes_data();
    void writesAsciiWithSignedUnicodeEscapes();
    void readerRecoversTextAndLines_data();
    void readerRecoversTextAndLines();
    void readerRecoversFormatting_data();
    void readerRecoversFormatting();
    void fallbackIsAHexEscape();
    void otherReadersKeepTheBlanks_data();
    void otherReadersKeepTheBlanks();

private:
    void convertAll(const QString& filter, const QStringList& inputs);
    static void addTextRows();

    QTemporaryDir work_;
    QString office_;
    QString outDir_;
    QTextDocument htmlBack_;
};

void TestRtfWriter::initTestCase()
{
    QVERIFY(work_.isValid());
    office_ = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office_.isEmpty())
        return;

    QStringList inputs;
    for (qsizetype i = 0; i < textCases().size(); ++i) {
        QTextDocument document;
        document.setDefaultFont(paneDefaults().font);
        QTextCursor(&document).insertText(textCases()[i].typed);
        inputs << work_.filePath(fileStem(i) + QStringLiteral(".rtf"));
        writeFile(inputs.last(), writeRtf(document, paneDefaults()));
    }
    QTextDocument formatted;
    formatted.setDefaultFont(paneDefaults().font);
    fillWithFormats(formatted);
    inputs << work_.filePath(QStringLiteral("formats.rtf"));
    writeFile(inputs.last(), writeRtf(formatted, paneDefaults()));

    outDir_ = work_.filePath(QStringLiteral("out"));
    convertAll(QStringLiteral("txt:Text (encoded):UTF8"), inputs);
    convertAll(QStringLiteral("html"), {inputs.last()});
    // Qt's HTML reader knows strike-out as <s> only.
    htmlBack_.setHtml(readUtf8(QDir(outDir_).filePath(QStringLiteral("formats.html")))
                          .replace(QStringLiteral("<strike>"), QStringLiteral("<s>"))
                          .replace(QStringLiteral("</strike>"), QStringLiteral("</s>")));
}

// One reader start for a whole batch: each start costs about a second. A profile of its own keeps it
// apart from any other instance running at the same time.
void TestRtfWriter::convertAll(const QString& filter, const QStringList& inputs)
{
    QProcess office;
    office.setProcessChannelMode(QProcess::MergedChannels);
    office.start(office_, QStringList{QStringLiteral("-env:UserInstallation=")
                                          + QUrl::fromLocalFile(work_.filePath(QStringLiteral("profile"))).toString(),
                                      QStringLiteral("--headless"), QStringLiteral("--convert-to"), filter,
                                      QStringLiteral("--outdir"), outDir_}
                              + inputs);
    QVERIFY2(office.waitForFinished(100000), qPrintable(office.errorString()));
    QVERIFY2(office.exitStatus() == QProcess::NormalExit && office.exitCode() == 0,
             office.readAll().constData());
}

void TestRtfWriter::addTextRows()
{
    QTest::addColumn<qsizetype>("index");
    for (qsizetype i = 0; i < textCases().size(); ++i)
        QTest::newRow(textCases()[i].name) << i;
}

void TestRtfWriter::writesAsciiWithSignedUnicodeEscapes_data()
{
    addTextRows();
}

void TestRtfWriter::writesAsciiWithSignedUnicodeEscapes()
{
    QFETCH(qsizetype, index);
    QTextDocument document;
    QTextCursor(&document).insertText(textCases()[index].typed);
    const QByteArray rtf = writeRtf(document, paneDefaults());
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    for (const char byte : rtf)
        QVERIFY2((byte >= 0x20 && byte < 0x7F) || byte == '\n', qPrintable(QString::number(uchar(byte), 16)));
    // Readers take the number of \uN as a signed 16-bit value; a larger one is not a character to them.
    static const QRegularExpression unicodeEscape(QStringLiteral(R"(\\u(-?\d+)\\'[0-9a-f]{2})"));
    for (const QRegularExpressionMatch& escape : unicodeEscape.globalMatch(QString::fromLatin1(rtf))) {
        const int number = escape.captured(1).toInt();
        QVERIFY2(number >= -32768 && number <= 32767, qPrintable(escape.captured()));
    }
}

void TestRtfWriter::readerRecoversTextAndLines_data()
{
    addTextRows();
}

void TestRtfWriter::readerRecoversTextAndLines()
{
    if (office_.isEmpty())
        QSKIP("soffice (Debian package libreoffice-writer-nogui) is not installed: no RTF reader to check with");
    QFETCH(qsizetype, index);
    const TextCase& written = textCases()[index];
    QString expected = written.shown.isEmpty() ? written.typed : written.shown;
    // The reader ends every paragraph, the last one too, with a line break.
    if (!expected.endsWith(u'\n'))
        expected += u'\n';
    const QString read = readUtf8(QDir(outDir_).filePath(fileStem(index) + QStringLiteral(".txt")));
    QCOMPARE(read.split(u'\n'), expected.split(u'\n'));
}

void TestRtfWriter::readerRecoversFormatting_data()
{
    QTest::addColumn<qsizetype>("index");
    for (qsizetype i = 0; i < formatCases().size(); ++i)
        QTest::newRow(formatCases()[i].marker) << i;
}

void TestRtfWriter::readerRecoversFormatting()
{
    if (office_.isEmpty())
        QSKIP("soffice (Debian package libreoffice-writer-nogui) is not installed: no RTF reader to check with");
    QFETCH(qsizetype, index);
    const FormatCase& wanted = formatCases()[index];
    const QTextCursor found = htmlBack_.find(QString::fromLatin1(wanted.marker));
    QVERIFY2(!found.isNull(), qPrintable(htmlBack_.toHtml()));
    const QTextCharFormat format = found.charFormat();
    QCOMPARE(format.fontFamilies().toStringList().value(0), wanted.family);
    QCOMPARE(format.fontPointSize(), double(wanted.points));
    QCOMPARE(format.foreground().color(), wanted.colour);
    QCOMPARE(format.fontWeight() >= QFont::Bold, wanted.bold);
    QCOMPARE(format.fontItalic(), wanted.italic);
    QCOMPARE(format.fontUnderline(), wanted.underline);
    QCOMPARE(format.fontStrikeOut(), wanted.strikeOut);
    QCOMPARE(found.blockFormat().background().color(), Navy);
}

// A reader that does not know \\uN gets the code page's character or a question mark, as a hex escape.
void TestRtfWriter::fallbackIsAHexEscape()
{
    QTextDocument document;
    QTextCursor(&document).insertText(QStringLiteral("caf\u00E9 \u03A9 \u00FF"));
    QVERIFY(writeRtf(document, paneDefaults()).contains("caf\\u233\\'e9 \\u937\\'3f \\u255\\'ff"));
}

void TestRtfWriter::otherReadersKeepTheBlanks_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<bool>("html");
    QTest::addColumn<QString>("typed");
    const QString accented = QStringLiteral("caf\u00E9 au lait, \u00C4rger \u00DF x");
    const QString greek = QStringLiteral("\u03A9 ohm, \u0395\u03BB \u03BB\u03AC");
    const QStringList pandoc{QStringLiteral("pandoc"), QStringLiteral("--from=rtf"), QStringLiteral("--to=plain"),
                             QStringLiteral("--wrap=none")};
    // unrtf's plain text knows no Unicode; its HTML does.
    const QStringList unrtf{QStringLiteral("unrtf"), QStringLiteral("--html")};
    QTest::newRow("pandoc, accented letters") << pandoc << false << accented;
    QTest::newRow("pandoc, Greek") << pandoc << false << greek;
    QTest::newRow("unrtf, accented letters") << unrtf << true << accented;
    QTest::newRow("unrtf, Greek") << unrtf << true << greek;
}

void TestRtfWriter::otherReadersKeepTheBlanks()
{
    QFETCH(QStringList, command);
    QFETCH(bool, html);
    QFETCH(QString, typed);
    const QString program = QStandardPaths::findExecutable(command.first());
    if (program.isEmpty())
        QSKIP(qPrintable(command.first() + QStringLiteral(" is not installed: no RTF reader to check with")));
    QTextDocument document;
    QTextCursor(&document).insertText(typed);
    QProcess reader;
    reader.start(program, command.mid(1));
    reader.write(writeRtf(document, paneDefaults()));
    reader.closeWriteChannel();
    QVERIFY2(reader.waitForFinished(60000), qPrintable(reader.errorString()));
    QString read = QString::fromUtf8(reader.readAllStandardOutput());
    if (html) {
        QTextDocument page;
        page.setHtml(read);
        read = page.toPlainText();
    }
    QCOMPARE(read.simplified(), typed);
}

QTEST_MAIN(TestRtfWriter)
#include "test_rtf_writer.moc"
