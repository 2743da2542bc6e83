#include "log/LogSink.h"
#include "port/Port.h"
#include "tests/fake/FakeMmp.h"

#include <QStringList>
#include <QTest>

namespace {

struct LineRecorder : LogSink {
    QStringList lines;
    void AppendLogLine(const QString& line) override { lines << line; }
};

std::vector<std::string> calls(std::initializer_list<const char*> texts)
{
    return {texts.begin(), texts.end()};
}

}  // namespace

class DataRegisterTest : public QObject {
    Q_OBJECT
private slots:
    void init() { fakemmp::reset(); }

    void lineSwitchRereadsTheRegister_data();
    void lineSwitchRereadsTheRegister();
    void unrecordedAllOffKeepsTheRecord();

private:
    Port port_;
};

void DataRegisterTest::lineSwitchRereadsTheRegister_data()
{
    QTest::addColumn<quint32>("registerRead");
    QTest::addColumn<quint8>("recordBefore");
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("written");

    // The record is never consulted: each row holds a PortData that disagrees with the register.
    QTest::newRow("on after initialisation") << 0xFFu << quint8(0x00) << true << 0 << "0xFF" << "0xFE";
    QTest::newRow("on when already on") << 0xFEu << quint8(0xFF) << true << 0 << "0xFE" << "0xFE";
    QTest::newRow("off keeps the other line") << 0xF6u << quint8(0xFF) << false << 3 << "0xF6" << "0xFE";
    QTest::newRow("off when already off") << 0xFFu << quint8(0x00) << false << 7 << "0xFF" << "0xFF";
    QTest::newRow("on, top line") << 0xFFu << quint8(0x7F) << true << 7 << "0xFF" << "0x7F";
    QTest::newRow("upper read bits dropped") << 0x1FFu << quint8(0x00) << true << 0 << "0x1FF" << "0xFE";
    QTest::newRow("off, upper read bits dropped") << 0xAB00u << quint8(0xFF) << false << 5 << "0xAB00" << "0x20";
}

void DataRegisterTest::lineSwitchRereadsTheRegister()
{
    QFETCH(quint32, registerRead);
    QFETCH(quint8, recordBefore);
    QFETCH(bool, on);
    QFETCH(int, line);
    QFETCH(QString, read);
    QFETCH(QString, written);

    port_.setPortData(recordBefore);
    fakemmp::queueRead(registerRead);
    on ? port_.LineOn(line) : port_.LineOff(line);

    const std::string readCall = "MMPInp(0x378) = " + read.toStdString();
    const std::string writeCall = "MMPOutp(0x378, " + written.toStdString() + ") = 0";
    QCOMPARE(fakemmp::takeJournal(), calls({readCall.c_str(), writeCall.c_str()}));
    QCOMPARE(port_.portData(), quint8(written.toUInt(nullptr, 16)));
}

void DataRegisterTest::unrecordedAllOffKeepsTheRecord()
{
    port_.setPortData(0x5A);
    fakemmp::setDataRegister(0x00);
    fakemmp::setUpperReadBits(0x100);
    LineRecorder log;

    port_.UnrecordedAllOff(log);

    QCOMPARE(fakemmp::takeJournal(), calls({"MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0x1FF"}));
    QCOMPARE(log.lines, QStringList({"  outp(0x378, 0xff)", "  inp(0x378) = 0x1FF"}));
    QCOMPARE(port_.portData(), quint8(0x5A));
}

QTEST_GUILESS_MAIN(DataRegisterTest)
#include "test_data_register.moc"
