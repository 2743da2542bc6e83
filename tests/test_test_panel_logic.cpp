// The Test Panel's logic on its own: no window, the recording driver, timers whose ticks the test
// delivers, and one list of what happened in order: log lines and boxes set from code.
#include "core/Failure.h"
#include "port/Port.h"
#include "port/TestPanelLogic.h"
#include "tests/RecordingLog.h"
#include "tests/fake/FakeMmp.h"

#include <QTest>
#include <QTimer>

class TestPanelLogicTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        fakemmp::reset();
        events_ = {};
        port_ = std::make_unique<Port>();
        pollTimer_ = std::make_unique<QTimer>();
        scanTimer_ = std::make_unique<QTimer>();
        logic_ = std::make_unique<TestPanelLogic>(*port_, events_, *pollTimer_, *scanTimer_);
        connect(logic_.get(), &TestPanelLogic::lineBoxChanged, this, [this](int line, bool checked) {
            QCOMPARE(logic_->lineBoxChecked(line), checked);
            events_.lines << QStringLiteral("D%1 %2").arg(line).arg(checked ? "checked" : "unchecked");
        });
    }

    void cleanup()
    {
        logic_.reset();
        scanTimer_.reset();
        pollTimer_.reset();
        port_.reset();
    }

    void userClickSwitchesTheLine()
    {
        logic_->lineBoxClicked(3, true);
        QCOMPARE(fakemmp::takeJournal(), std::vector<std::string>({"MMPInp(0x378) = 0xFF", "MMPOutp(0x378, 0xF7) = 0",
                                                                   "MMPInp(0x378) = 0xF7"}));
        QCOMPARE(events_.take(), QStringList{"  inp(0x378) = 0xF7"});
        QCOMPARE(port_->portData(), quint8(0xF7));
        QVERIFY(logic_->lineBoxChecked(3));

        logic_->lineBoxClicked(3, false);
        QCOMPARE(events_.take(), QStringList{"  inp(0x378) = 0xFF"});
        QCOMPARE(port_->portData(), quint8(0xFF));
    }

    void allOffRunsEachCheckedBoxsHandlerInside()
    {
        logic_->lineBoxClicked(0, true);
        logic_->lineBoxClicked(3, true);
        events_.take();
        fakemmp::takeJournal();

        logic_->allOff();

        QCOMPARE(events_.take(), QStringList({"  outp(0x378, 0xff)", "  inp(0x378) = 0xFF", "D0 unchecked",
                                              "  inp(0x378) = 0xFF", "D3 unchecked", "  inp(0x378) = 0xFF"}));
        QCOMPARE(port_->portData(), quint8(0xFF));
    }

    void aFailureUnwindsThroughEveryCaller_data()
    {
        QTest::addColumn<bool>("scanStep");
        QTest::addColumn<QStringList>("happened");
        QTest::addColumn<std::vector<std::string>>("calls");
        QTest::newRow("all off") << false << QStringList({"  outp(0x378, 0xff)", "  inp(0x378) = 0xFF", "D0 unchecked"})
                                 << std::vector<std::string>({"MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF",
                                                              "MMPInp(0x378) = 0xFF", "MMPOutp(0x378, 0xFF) = 0",
                                                              "MMPInp(0x378) = 0xFF"});
        // D0's handler switches its line off on the register as read (D0 and D3 on); the step's own write
        // never comes.
        QTest::newRow("scan step") << true << QStringList({"D0 unchecked"})
                                   << std::vector<std::string>({"MMPInp(0x378) = 0xF6", "MMPOutp(0x378, 0xF7) = 0",
                                                              "MMPInp(0x378) = 0xF7"});
    }
    void aFailureUnwindsThroughEveryCaller()
    {
        QFETCH(bool, scanStep);
        QFETCH(QStringList, happened);
        QFETCH(std::vector<std::string>, calls);
        logic_->lineBoxClicked(0, true);
        logic_->lineBoxClicked(3, true);
        events_.take();
        fakemmp::takeJournal();
        events_.room = scanStep ? 0 : 2;

        QVERIFY_THROWS_EXCEPTION(Failure, scanStep ? logic_->scanStep() : logic_->allOff());

        QCOMPARE(events_.take(), happened);
        QCOMPARE(fakemmp::takeJournal(), calls);
        QVERIFY(!logic_->lineBoxChecked(0));
        QVERIFY(logic_->lineBoxChecked(3));
    }

    void scanStartsNextToTheMiddleAndEndsWithAllOff()
    {
        logic_->toggleScan();
        QVERIFY(logic_->isScanning());
        QCOMPARE(port_->portData(), quint8(0xFF));
        QVERIFY(fakemmp::takeJournal().empty());

        logic_->scanStep();
        QCOMPARE(events_.take(), QStringList({"Scan Mode.....  ", "D5 checked", "  inp(0x378) = 0xDF"}));
        QCOMPARE(fakemmp::takeJournal(), std::vector<std::string>({"MMPInp(0x378) = 0xFF", "MMPOutp(0x378, 0xDF) = 0",
                                                                   "MMPInp(0x378) = 0xDF", "MMPOutp(0x378, 0xDF) = 0"}));

        logic_->toggleScan();
        QVERIFY(!logic_->isScanning());
        QCOMPARE(events_.take(), QStringList({"End Scan Mode.....  ", "  outp(0x378, 0xff)", "  inp(0x378) = 0xFF",
                                              "D5 unchecked", "  inp(0x378) = 0xFF"}));
    }

    void directionOutlivesTheScan()
    {
        logic_->setScanDescending(true);
        logic_->toggleScan();
        logic_->scanStep();
        QVERIFY(logic_->lineBoxChecked(3));
        logic_->closed();
        QVERIFY(logic_->scanDescending());
        QVERIFY(!logic_->isScanning() && !logic_->isPolling());
        QCOMPARE(port_->portData(), quint8(0xFF));
    }

    void statusPollReportsTheLowByte()
    {
        int shown = -1;
        connect(logic_.get(), &TestPanelLogic::statusRead, this, [&](std::uint8_t status) { shown = status; });
        fakemmp::setStatus(0x3A5);
        logic_->shown();
        QVERIFY(logic_->isPolling());

        logic_->pollStatus();

        QCOMPARE(events_.take(), QStringList{"Status Byte  inp(0x379) = 0xA5"});
        QCOMPARE(fakemmp::takeJournal(), std::vector<std::string>({"MMPInp(0x379) = 0x3A5"}));
        QCOMPARE(shown, 0xA5);
    }

private:
    RecordingLog events_;
    std::unique_ptr<Port> port_;
    std::unique_ptr<QTimer> pollTimer_;
    std::unique_ptr<QTimer> scanTimer_;
    std::unique_ptr<TestPanelLogic> logic_;
};

QTEST_GUILESS_MAIN(TestPanelLogicTest)
#include "test_test_panel_logic.moc"
