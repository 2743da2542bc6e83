#include "core/Failure.h"
#include "port/Port.h"
#include "script/Interpreter.h"
#include "tests/RecordingLog.h"
#include "tests/fake/FakeMmp.h"

#include <QTest>

using Journal = std::vector<std::string>;
Q_DECLARE_METATYPE(Journal)

namespace {

// PortData before each call, so that a command that leaves it alone shows.
constexpr int Untouched = 0x5A;

std::string outp(const char* digits)
{
    return std::string("MMPOutp(0x378, 0x") + digits + ") = 0";
}

std::string inp(const char* digits)
{
    return std::string("MMPInp(0x378) = 0x") + digits;
}

QString readBack(const char* digits)
{
    return QStringLiteral("  inp(0x378) = 0x") + QLatin1String(digits);
}

// Per line: the byte its on command writes when all lines were off, the byte its off command writes
// when all were on.
struct LineBytes {
    int line;
    const char* onFromAllOff;
    const char* offFromAllOn;
};
const LineBytes Lines[] = {{0, "FE", "01"}, {1, "FD", "02"}, {2, "FB", "04"}, {3, "F7", "08"},
                           {4, "EF", "10"}, {5, "DF", "20"}, {6, "BF", "40"}, {7, "7F", "80"}};

}  // namespace

class InterpreterTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        fakemmp::reset();
        port_.setPortData(Untouched);
    }

    void commandTable_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("data");
        QTest::addColumn<int>("registerBefore");
        QTest::addColumn<Journal>("calls");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("portData");
        QTest::addColumn<int>("wait");  // 0: none started

        const QString unrecognized = QStringLiteral("Unrecognized Command");
        const QString invalid = QStringLiteral("Invalid Data");
        QTest::newRow("0") << 0 << 0 << 0xFF << Journal{} << unrecognized << Untouched << 0;
        QTest::newRow("1 with 0") << 1 << 0 << 0xFF << Journal{outp("00"), inp("00")} << readBack("00") << 0x00 << 0;
        QTest::newRow("1 with 255") << 1 << 255 << 0x00 << Journal{outp("FF"), inp("FF")} << readBack("FF") << 0xFF << 0;
        QTest::newRow("1 with 256") << 1 << 256 << 0xFF << Journal{} << invalid << Untouched << 0;
        QTest::newRow("1 with -1") << 1 << -1 << 0xFF << Journal{} << invalid << Untouched << 0;
        // The line commands work on the register as read, ignore Data, and keep the other seven lines.
        for (const LineBytes& bytes : Lines) {
            const int on = 2 + bytes.line;
            const int off = 10 + bytes.line;
            const int onByte = QByteArray(bytes.onFromAllOff).toInt(nullptr, 16);
            const int offByte = QByteArray(bytes.offFromAllOn).toInt(nullptr, 16);
            QTest::addRow("%d from FF", on) << on << 999 << 0xFF
                                            << Journal{inp("FF"), outp(bytes.onFromAllOff), inp(bytes.onFromAllOff)}
                                            << readBack(bytes.onFromAllOff) << onByte << 0;
            QTest::addRow("%d from 00", on) << on << 999 << 0x00 << Journal{inp("00"), outp("00"), inp("00")}
                                            << readBack("00") << 0x00 << 0;
            QTest::addRow("%d from FF", off) << off << 999 << 0xFF << Journal{inp("FF"), outp("FF"), inp("FF")}
                                             << readBack("FF") << 0xFF << 0;
            QTest::addRow("%d from 00", off) << off << 999 << 0x00
                                             << Journal{inp("00"), outp(bytes.offFromAllOn), inp(bytes.offFromAllOn)}
                                             << readBack(bytes.offFromAllOn) << offByte << 0;
        }
        QTest::newRow("18") << 18 << 999 << 0xFF << Journal{outp("00"), inp("00")} << readBack("00") << 0x00 << 0;
        QTest::newRow("19") << 19 << 999 << 0x00 << Journal{outp("FF"), inp("FF")} << readBack("FF") << 0xFF << 0;
        QTest::newRow("20 with 500") << 20 << 500 << 0xFF << Journal{} << "Waiting  500   (ms)" << Untouched << 500;
        QTest::newRow("20 with longest") << 20 << 2147483647 << 0xFF << Journal{} << "Waiting  2147483647   (ms)"
                                         << Untouched << 2147483647;
        QTest::newRow("20 with 0") << 20 << 0 << 0xFF << Journal{} << invalid << Untouched << 0;
        QTest::newRow("20 with -1") << 20 << -1 << 0xFF << Journal{} << invalid << Untouched << 0;
        QTest::newRow("21") << 21 << 500 << 0xFF << Journal{} << unrecognized << Untouched << 0;
        QTest::newRow("-5") << -5 << 500 << 0xFF << Journal{} << unrecognized << Untouched << 0;
    }
    void commandTable()
    {
        QFETCH(int, command);
        QFETCH(int, data);
        QFETCH(int, registerBefore);
        QFETCH(Journal, calls);
        QFETCH(QString, line);
        QFETCH(int, portData);
        QFETCH(int, wait);
        fakemmp::setDataRegister(registerBefore);
        RecordingLog log;
        QList<int> waits;

        executeScriptCommand(command, data, port_, log, [&](int milliseconds) { waits << milliseconds; });

        QCOMPARE(fakemmp::takeJournal(), calls);
        QCOMPARE(log.lines, QStringList{line});
        QCOMPARE(int(port_.portData()), portData);
        QCOMPARE(waits, wait ? QList<int>{wait} : QList<int>{});
    }

    // A full log fails the call only after the row's action has been carried out.
    void fullLogFailsAfterTheAction()
    {
        RecordingLog log;
        log.room = 0;
        bool waitStarted = false;
        QVERIFY_THROWS_EXCEPTION(Failure, executeScriptCommand(5, 0, port_, log, [](int) {}));
        QCOMPARE(fakemmp::takeJournal(), Journal({inp("FF"), outp("F7"), inp("F7")}));
        QCOMPARE(int(port_.portData()), 0xF7);
        QVERIFY_THROWS_EXCEPTION(Failure, executeScriptCommand(20, 50, port_, log, [&](int) { waitStarted = true; }));
        QVERIFY(waitStarted);
    }

private:
    Port port_;
};

QTEST_APPLESS_MAIN(InterpreterTest)
#include "test_interpreter.moc"
