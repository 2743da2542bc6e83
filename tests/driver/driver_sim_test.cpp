#include "port/mmp.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <cstring>

// The real library on its simulated port. The backend is chosen on the first driver call, so
// MMP_PORT is set before any; the slots run in order and share the one simulated port.
class DriverSimTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("MMP_PORT", "sim"); }

    void closeWithoutOpenIsHarmless()
    {
        QCOMPARE(MMPClose(), 0);
        QCOMPARE(MMPClose(), 0);
    }

    void dataWorksBeforeOpen()
    {
        QCOMPARE(MMPInp(0x378), 0xFFu);
        MMPOutp(0x378, 0x5A);
        QCOMPARE(MMPInp(0x378), 0x5Au);
    }

    void opens() { QCOMPARE(MMPOpen(), 0); }

    void registersAfterOpen_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("written");
        QTest::addColumn<uint>("read");
        QTest::newRow("data all on") << 0x378 << 0x00 << 0x00u;
        QTest::newRow("data pattern") << 0x378 << 0xA5 << 0xA5u;
        QTest::newRow("data all off") << 0x378 << 0xFF << 0xFFu;
        QTest::newRow("status ignores writes") << 0x379 << 0x00 << 0x7Fu;
        QTest::newRow("control reads back") << 0x37A << 0x01 << 0x01u;
        QTest::newRow("other address") << 0x278 << 0x00 << 0xFFu;
    }
    void registersAfterOpen()
    {
        QFETCH(int, port);
        QFETCH(int, written);
        QFETCH(uint, read);
        QCOMPARE(MMPOutp(port, written), 0);
        QCOMPARE(MMPInp(port), read);
    }

    void idNamesSimulatedPortWithinBuffer()
    {
        std::array<char, 300> buffer;
        buffer.fill('#');
        MMPGetID(buffer.data());
        const auto nul = std::find(buffer.begin(), buffer.begin() + 256, '\0');
        QVERIFY(nul != buffer.begin() + 256);
        QVERIFY(std::all_of(buffer.begin() + 256, buffer.end(), [](char c) { return c == '#'; }));
        QVERIFY(std::strstr(buffer.data(), "simulated"));
    }

    void closeTwiceKeepsRegisters()
    {
        MMPOutp(0x378, 0x3C);
        QCOMPARE(MMPClose(), 0);
        QCOMPARE(MMPClose(), 0);
        QCOMPARE(MMPInp(0x378), 0x3Cu);
        QCOMPARE(MMPInp(0x379), 0x7Fu);
    }
};

QTEST_APPLESS_MAIN(DriverSimTest)
#include "driver_sim_test.moc"
