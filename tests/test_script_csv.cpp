#include "core/Failure.h"
#include "script/ScriptCsv.h"
#include "tests/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Rows = QList<ScriptRow>;
Q_DECLARE_METATYPE(ScriptRow)
Q_DECLARE_METATYPE(ScriptCsvProblem)

namespace {

constexpr std::nullopt_t Empty = std::nullopt;

QString failureOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const Failure& failure) {
        return failure.message();
    }
    return QStringLiteral("<no failure>");
}

}  // namespace

namespace QTest {
template <>
char* toString(const ScriptRow& row)
{
    const auto cell = [](const std::optional<qint32>& value) {
        return value ? QByteArray::number(*value) : QByteArray("-");
    };
    return qstrdup("{" + cell(row.id) + " " + cell(row.command) + " " + cell(row.data) + "}");
}
template <>
char* toString(const ScriptCsvProblem& problem)
{
    return qstrdup(QStringLiteral("line %1: %2").arg(problem.line).arg(problem.text).toUtf8());
}
}  // namespace QTest

class TestScriptCsv : public QObject {
    Q_OBJECT

private slots:
    void readsWhatSpreadsheetsAndEditorsWrite_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("as written: header, CR LF, empty cells")
            << QByteArray("Line,Command,Data\r\n1,19,\r\n2,20,150\r\n,,\r\n")
            << Rows{{1, 19, Empty}, {2, 20, 150}, {Empty, Empty, Empty}} << QList<int>{2, 3, 4};
        QTest::newRow("LF line ends, last line without one")
            << QByteArray("Line,Command,Data\n1,2,3\n4,5,6") << Rows{{1, 2, 3}, {4, 5, 6}} << QList<int>{2, 3};
        QTest::newRow("Python csv: semicolons, all quoted, byte-order mark")
            << QByteArray("\xEF\xBB\xBF\"Line\";\"Command\";\"Data\"\r\n\"1\";\"2\";\"\"\r\n\"2\";\"20\";\"150\"\r\n")
            << Rows{{1, 2, Empty}, {2, 20, 150}} << QList<int>{2, 3};
        QTest::newRow("header in any case, with blanks")
            << QByteArray(" line ;\tCOMMAND; Data \n1;2;3\n") << Rows{{1, 2, 3}} << QList<int>{2};
        QTest::newRow("no header") << QByteArray("1,2,3\r\n") << Rows{{1, 2, 3}} << QList<int>{1};
        QTest::newRow("blank lines skipped")
            << QByteArray("\r\n\nLine,Command,Data\n\n1,2,3\n \t \n\n4,5,6\n\n") << Rows{{1, 2, 3}, {4, 5, 6}}
            << QList<int>{5, 8};
        QTest::newRow("blanks around values, inside and outside quotes")
            << QByteArray(" 1 , \" 2 \" \t,\t3\n") << Rows{{1, 2, 3}} << QList<int>{1};
        QTest::newRow("fewer than three fields")
            << QByteArray("7\n8,9\n\"\"\n") << Rows{{7, Empty, Empty}, {8, 9, Empty}, {Empty, Empty, Empty}}
            << QList<int>{1, 2, 3};
        QTest::newRow("limits, signs and leading zeros")
            << QByteArray("-2147483648,2147483647,+0\n0000000000012,-0,\n")
            << Rows{{-2147483648, 2147483647, 0}, {12, 0, Empty}} << QList<int>{1, 2};
        QTest::newRow("a quoted field over two lines counts both")
            << QByteArray("\"1\n\",2,3\n4,5,6\n") << Rows{{1, 2, 3}, {4, 5, 6}} << QList<int>{1, 3};
        QTest::newRow("header only: an empty script") << QByteArray("Line,Command,Data\r\n") << Rows{}
                                                      << QList<int>{};
    }

    void readsWhatSpreadsheetsAndEditorsWrite()
    {
        QFETCH(QByteArray, file);
        QFETCH(Rows, rows);
        QFETCH(QList<int>, lines);
        const ScriptCsvReading reading = parseScriptCsv(file);
        QCOMPARE(reading.problem, std::nullopt);
        QCOMPARE(reading.rows, rows);
        QCOMPARE(reading.lines, lines);
    }

    void namesTheFirstBadLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<ScriptCsvProblem>("problem");
        QTest::newRow("text value")
            << QByteArray("Line,Command,Data\n1,2,3\n2,abc,4\n5,x,6\n") << ScriptCsvProblem{3, "\"abc\" is not a whole number"};
        QTest::newRow("decimal") << QByteArray("1,2.5,3") << ScriptCsvProblem{1, "\"2.5\" is not a whole number"};
        QTest::newRow("sign alone") << QByteArray("1,-,3") << ScriptCsvProblem{1, "\"-\" is not a whole number"};
        QTest::newRow("one above the range")
            << QByteArray("1,2147483648,3") << ScriptCsvProblem{1, "2147483648 is outside the range -2147483648 to 2147483647"};
        QTest::newRow("one below the range")
            << QByteArray("1,2,-2147483649") << ScriptCsvProblem{1, "-2147483649 is outside the range -2147483648 to 2147483647"};
        QTest::newRow("forty digits, shown shortened")
            << QByteArray("1234567890123456789012345678901234567890")
            << ScriptCsvProblem{1, "123456789012345678901234\u2026 is outside the range -2147483648 to 2147483647"};
        QTest::newRow("four fields") << QByteArray("Line,Command,Data\n1,2,3,4\n")
                                     << ScriptCsvProblem{2, "it has more than three fields"};
        QTest::newRow("separator after the third field")
            << QByteArray("1,2,3,\n") << ScriptCsvProblem{1, "it has more than three fields"};
        QTest::newRow("unterminated quote, named where it opens")
            << QByteArray("Line,Command,Data\n1,\"2,3\n4,5,6\n") << ScriptCsvProblem{2, "a quoted field is not closed"};
        QTest::newRow("text after a closing quote")
            << QByteArray("\"1\"x,2,3") << ScriptCsvProblem{1, "text follows a closing quote"};
        QTest::newRow("empty file") << QByteArray() << ScriptCsvProblem{1, "the file is empty"};
        QTest::newRow("byte-order mark and blank lines only")
            << QByteArray("\xEF\xBB\xBF\r\n  \n") << ScriptCsvProblem{1, "the file is empty"};
        QTest::newRow("binary") << QByteArray("PK\x03\x04\x00\x00\x08\x00", 8)
                                << ScriptCsvProblem{1, "it is not UTF-8 text"};
        QTest::newRow("not UTF-8") << QByteArray("1,2,3\n1,\xFF\xFE,3\n") << ScriptCsvProblem{2, "it is not UTF-8 text"};
        QTest::newRow("lone carriage return") << QByteArray("1,2\r3\n") << ScriptCsvProblem{1, "it is not UTF-8 text"};
        QTest::newRow("UTF-8 text") << QByteArray("1,\xC3\xA4,3") << ScriptCsvProblem{1, "\"\u00E4\" is not a whole number"};
        QTest::newRow("the first line chose semicolons")
            << QByteArray("1;2;3\n4,5,6\n") << ScriptCsvProblem{2, "\"4,5,6\" is not a whole number"};
        QTest::newRow("a quoted semicolon decides nothing")
            << QByteArray("\";\",2\n") << ScriptCsvProblem{1, "\";\" is not a whole number"};
        QTest::newRow("header after data") << QByteArray("1,2,3\nLine,Command,Data\n")
                                           << ScriptCsvProblem{2, "\"Line\" is not a whole number"};
        QTest::newRow("line counted past a quoted line break")
            << QByteArray("\"1\n\",2,3\nx\n") << ScriptCsvProblem{3, "\"x\" is not a whole number"};
    }

    void namesTheFirstBadLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(ScriptCsvProblem, problem);
        const ScriptCsvReading reading = parseScriptCsv(file);
        QCOMPARE(reading.problem, problem);
        QVERIFY(reading.rows.isEmpty());
    }

    void writesCsvThatReadsBackTheSame_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty script") << Rows{} << QByteArray("Line,Command,Data\r\n");
        QTest::newRow("values, empty cells, limits")
            << Rows{{1, 19, Empty}, {Empty, Empty, Empty}, {-2147483648, 2147483647, -5}, {7, 7, 7}}
            << QByteArray("Line,Command,Data\r\n1,19,\r\n,,\r\n-2147483648,2147483647,-5\r\n7,7,7\r\n");
    }

    void writesCsvThatReadsBackTheSame()
    {
        QFETCH(Rows, rows);
        QFETCH(QByteArray, file);
        QCOMPARE(formatScriptCsv(rows), file);
        const ScriptCsvReading reading = parseScriptCsv(file);
        QCOMPARE(reading.problem, std::nullopt);
        QCOMPARE(reading.rows, rows);
    }

    void filesNameThemselvesInTheirFailures()
    {
        QTemporaryDir directory;
        const QString bad = directory.filePath(QStringLiteral("bad.csv"));
        writeFile(bad, "Line,Command,Data\n1,2,3\n2,abc,4\n");
        QCOMPARE(failureOf([&] { readScriptFile(bad); }),
                 QStringLiteral("Line 3 of %1: \"abc\" is not a whole number").arg(bad));
        const QString missing = directory.filePath(QStringLiteral("missing.csv"));
        QCOMPARE(failureOf([&] { readScriptFile(missing); }),
                 QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(missing));
        QVERIFY(failureOf([&] { readScriptFile(directory.path()); }).startsWith(
            QStringLiteral("Cannot open file \"%1\". ").arg(directory.path())));
        const QString nowhere = directory.filePath(QStringLiteral("no-folder/out.csv"));
        QCOMPARE(failureOf([&] { writeScriptFile(nowhere, Rows{{1, 2, 3}}); }),
                 QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(nowhere));
        QVERIFY(!QFile::exists(nowhere));

        const QString good = directory.filePath(QStringLiteral("good.csv"));
        writeScriptFile(good, Rows{{1, 2, Empty}});
        QCOMPARE(readScriptFile(good).rows, (Rows{{1, 2, Empty}}));
        QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList({"bad.csv", "good.csv"}));
    }
};

QTEST_GUILESS_MAIN(TestScriptCsv)
#include "test_script_csv.moc"
