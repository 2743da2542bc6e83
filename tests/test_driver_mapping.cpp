#include "driver/RegisterMapping.h"

#include <QTest>

// The expected values are the raw register bytes, written out, so that an inversion that is
// missing, doubled or on the wrong bits shows.
class DriverMappingTest : public QObject {
    Q_OBJECT

private slots:
    void statusReachesProgramAsRegisterHoldsIt_data()
    {
        QTest::addColumn<int>("library");
        QTest::addColumn<int>("reg");
        QTest::newRow("idle, nothing connected") << 0xFF << 0x7F;
        QTest::newRow("busy line low") << 0x7F << 0xFF;
        QTest::newRow("all zero") << 0x00 << 0x80;
        QTest::newRow("low bits kept as read") << 0x87 << 0x07;
        QTest::newRow("ack and error lines") << 0xC8 << 0x48;
    }
    void statusReachesProgramAsRegisterHoldsIt()
    {
        QFETCH(int, library);
        QFETCH(int, reg);
        QCOMPARE(mmp::statusRegisterFromLibrary(library), reg);
    }

    void controlWrittenAsRegisterValue_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("library");
        QTest::newRow("driver initialisation 0x01") << 0x01 << 0x0A;
        QTest::newRow("all zero") << 0x00 << 0x0B;
        QTest::newRow("all four lines") << 0x0F << 0x04;
        QTest::newRow("init only (not inverted)") << 0x04 << 0x0F;
        QTest::newRow("select-in only") << 0x08 << 0x03;
        QTest::newRow("upper bits dropped") << 0xF1 << 0x0A;
    }
    void controlWrittenAsRegisterValue()
    {
        QFETCH(int, reg);
        QFETCH(int, library);
        QCOMPARE(mmp::controlForLibrary(static_cast<std::uint8_t>(reg)), library);
        QCOMPARE(mmp::controlRegisterFromLibrary(library), reg & 0x0F);
    }
};

QTEST_APPLESS_MAIN(DriverMappingTest)
#include "test_driver_mapping.moc"
