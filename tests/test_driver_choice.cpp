#include "driver/PortChoice.h"

#include <QTest>

Q_DECLARE_METATYPE(mmp::PortKind)

class DriverChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void settingAndSystemChooseBackend_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("reported");  // -1: the system reports no port
        QTest::addColumn<mmp::PortKind>("kind");
        QTest::addColumn<int>("device");
        using mmp::PortKind;
        QTest::newRow("unset, no port reported") << "" << -1 << PortKind::Simulated << -1;
        QTest::newRow("unset, port reported") << "" << 1 << PortKind::Device << 1;
        QTest::newRow("sim beats a reported port") << "sim" << 0 << PortKind::Simulated << -1;
        QTest::newRow("direct") << "direct" << -1 << PortKind::Direct << -1;
        QTest::newRow("device name") << "parport2" << 0 << PortKind::Device << 2;
        QTest::newRow("device path, none reported") << "/dev/parport0" << -1 << PortKind::Device << 0;
        QTest::newRow("name without number") << "parport" << 0 << PortKind::Unrecognised << -1;
        QTest::newRow("negative number") << "parport-1" << 0 << PortKind::Unrecognised << -1;
        QTest::newRow("trailing text") << "parport0x" << 0 << PortKind::Unrecognised << -1;
        QTest::newRow("other device") << "/dev/lp0" << 0 << PortKind::Unrecognised << -1;
        QTest::newRow("case matters") << "SIM" << -1 << PortKind::Unrecognised << -1;
        QTest::newRow("number too large") << "parport99999999999" << -1 << PortKind::Unrecognised << -1;
    }
    void settingAndSystemChooseBackend()
    {
        QFETCH(QString, setting);
        QFETCH(int, reported);
        QFETCH(mmp::PortKind, kind);
        QFETCH(int, device);
        const auto reportedPort = reported < 0 ? std::nullopt : std::optional<int>(reported);
        const auto choice = mmp::choosePort(setting.toStdString(), reportedPort);
        QCOMPARE(static_cast<int>(choice.kind), static_cast<int>(kind));
        QCOMPARE(choice.deviceNumber, device);
    }
};

QTEST_APPLESS_MAIN(DriverChoiceTest)
#include "test_driver_choice.moc"
