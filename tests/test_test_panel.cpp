#include "core/Failure.h"
#include "port/Port.h"
#include "port/TestPanelLogic.h"
#include "tests/RecordingLog.h"
#include "tests/WindowParts.h"
#include "tests/fake/FakeMmp.h"
#include "ui/ErrorReport.h"
#include "ui/GradientFill.h"
#include "ui/TestPanel.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <memory>

namespace {

QStringList takeCalls()
{
    QStringList calls;
    for (const std::string& call : fakemmp::takeJournal())
        calls << QString::fromStdString(call);
    return calls;
}

QString readBack(const QString& digits)
{
    return QStringLiteral("  inp(0x378) = 0x") + digits;
}

const QString AllOffLine = QStringLiteral("  outp(0x378, 0xff)");

// What one scan step does with the register reading back what was written.
struct Step {
    QStringList reads;        // the digits each box handler's first read of the register returns
    QStringList writes;       // the digits of every write of the data register; the last is the step's own
    QStringList readBacks;    // the digits that end each read-back line
    quint8 portData;
    bool descending;
    int litLine;  // the one data-line box checked afterwards, -1 for none
};

// The steady cycle, entered at step 1 with D0 lit and moving up.
const std::vector<Step> Cycle = {
    {{"FE", "FF"}, {"FF", "FD", "FD"}, {"FF", "FD"}, 0xFD, false, 1},
    {{"FD", "FF"}, {"FF", "FB", "FB"}, {"FF", "FB"}, 0xFB, false, 2},
    {{"FB", "FF"}, {"FF", "F7", "F7"}, {"FF", "F7"}, 0xF7, false, 3},
    {{"F7", "FF"}, {"FF", "EF", "EF"}, {"FF", "EF"}, 0xEF, false, 4},
    {{"EF", "FF"}, {"FF", "DF", "DF"}, {"FF", "DF"}, 0xDF, false, 5},
    {{"DF", "FF"}, {"FF", "BF", "BF"}, {"FF", "BF"}, 0xBF, false, 6},
    {{"BF", "FF"}, {"FF", "7F", "7F"}, {"FF", "7F"}, 0x7F, false, 7},
    {{}, {"7F"}, {}, 0x7F, true, 7},
    {{"7F", "3F"}, {"3F", "BF", "BF"}, {"3F", "BF"}, 0xBF, true, 6},
    {{"BF", "9F"}, {"9F", "DF", "DF"}, {"9F", "DF"}, 0xDF, true, 5},
    {{"DF", "CF"}, {"CF", "EF", "EF"}, {"CF", "EF"}, 0xEF, true, 4},
    {{"EF", "E7"}, {"E7", "F7", "F7"}, {"E7", "F7"}, 0xF7, true, 3},
    {{"F7", "F3"}, {"F3", "FB", "FB"}, {"F3", "FB"}, 0xFB, true, 2},
    {{"FB", "F9"}, {"F9", "FD", "FD"}, {"F9", "FD"}, 0xFD, true, 1},
    {{"FD", "FC"}, {"FC", "FE", "FE"}, {"FC", "FE"}, 0xFE, true, 0},
    {{}, {"FE"}, {}, 0xFE, false, 0},
};

// The first step after the scan starts from all off with no box checked.
const Step FirstUp = {{"FF"}, {"DF", "DF"}, {"DF"}, 0xDF, false, 5};
const Step FirstDown = {{"FF"}, {"F7", "F7"}, {"F7"}, 0xF7, true, 3};

enum class Intervention { CheckD0ByHand, StartWithD0AndD2, UncheckLitBox, AllOffButton, ScriptWritesAllOn };

}  // namespace

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(std::vector<Step>)
Q_DECLARE_METATYPE(Intervention)

class TestPanelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void components();
    void userClickSwitchesLine_data();
    void userClickSwitchesLine();
    void allOff_data();
    void allOff();
    void scanCycle_data();
    void scanCycle();
    void scanAfterIntervention_data();
    void scanAfterIntervention();
    void fullLogStopsTheScan();
    void statusPoll_data();
    void statusPoll();
    void statusBoxClickOnlyToggles();
    void endScan_data();
    void endScan();
    void closeRecordsAllOff();
    void reopenKeepsDirection();
    void destructionSwitchesNothing();

private:
    quint8 checkedLines() const;
    void tick(QTimer* timer) { QVERIFY(QMetaObject::invokeMethod(timer, "timeout")); }
    void click(QWidget* box) { QTest::mouseClick(box, Qt::LeftButton); }
    void startScanAtD5();
    void expectStep(const Step& step, int number);

    QCheckBox* lineBox(int line) const { return part<QCheckBox>(*panel_, QStringLiteral("D%1").arg(line)); }
    QCheckBox* statusBox(int bit) const { return part<QCheckBox>(*panel_, QStringLiteral("CheckBox%1").arg(bit + 1)); }
    QToolButton* button(const char* name) const { return part<QToolButton>(*panel_, name); }
    QTimer* timer(const char* name) const { return part<QTimer>(*panel_, name); }
    TestPanelLogic* logic() const { return part<TestPanelLogic>(*panel_, "TestPanelLogic"); }

    RecordingLog log_;
    QStringList reports_;
    std::unique_ptr<Port> port_;
    std::unique_ptr<TForm1> panel_;
};

void TestPanelTest::init()
{
    fakemmp::reset();
    log_ = {};
    reports_.clear();
    port_ = std::make_unique<Port>();
    setFailurePresenter([this](const QString& text) { reports_ << text; });
    panel_ = std::make_unique<TForm1>(*port_, log_);
}

void TestPanelTest::cleanup()
{
    panel_.reset();
    port_.reset();
    setFailurePresenter({});
}

quint8 TestPanelTest::checkedLines() const
{
    quint8 lines = 0;
    for (int line = 0; line < 8; ++line)
        lines |= lineBox(line)->isChecked() ? 1 << line : 0;
    return lines;
}

void TestPanelTest::startScanAtD5()
{
    panel_->SpeedButton2Click();
    panel_->Timer2Timer();
    QCOMPARE(checkedLines(), quint8(1 << 5));
    takeCalls();
    log_.take();
}

void TestPanelTest::expectStep(const Step& step, int number)
{
    tick(timer("Timer2"));

    QStringList calls;
    for (qsizetype index = 0; index + 1 < step.writes.size(); ++index)
        calls << "MMPInp(0x378) = 0x" + step.reads[index] << "MMPOutp(0x378, 0x" + step.writes[index] + ") = 0"
              << "MMPInp(0x378) = 0x" + step.readBacks[index];
    calls << "MMPOutp(0x378, 0x" + step.writes.back() + ") = 0";
    QStringList lines;
    for (const QString& digits : step.readBacks)
        lines << readBack(digits);

    const QString where = QStringLiteral("after step %1").arg(number);
    const QStringList actualCalls = takeCalls();
    QVERIFY2(actualCalls == calls, qPrintable(where + ": " + actualCalls.join(u' ')));
    const QStringList actualLines = log_.take();
    QVERIFY2(actualLines == lines, qPrintable(where + ": " + actualLines.join(u'|')));
    QVERIFY2(port_->portData() == step.portData, qPrintable(where));
    QVERIFY2(logic()->scanDescending() == step.descending, qPrintable(where));
    QVERIFY2(checkedLines() == (step.litLine < 0 ? 0 : 1 << step.litLine), qPrintable(where));
    QVERIFY2(timer("Timer2")->isActive(), qPrintable(where));
}

void TestPanelTest::components()
{
    const auto named = [this](const QString& name) { return panel_->findChild<QObject*>(name); };
    for (int line = 0; line < 8; ++line) {
        QVERIFY(qobject_cast<QCheckBox*>(named(QStringLiteral("D%1").arg(line))));
        QVERIFY(qobject_cast<QCheckBox*>(named(QStringLiteral("CheckBox%1").arg(line + 1))));
    }
    QVERIFY(qobject_cast<QToolBar*>(named("ToolBar1")));
    QVERIFY(qobject_cast<QToolButton*>(named("SpeedButton1")));
    QVERIFY(qobject_cast<QToolButton*>(named("SpeedButton2")));
    QVERIFY(qobject_cast<GradientFill*>(named("LMDFormFill1")));
    QVERIFY(qobject_cast<QFrame*>(named("Panel1")));
    QVERIFY(qobject_cast<QFrame*>(named("Panel2")));
    QCOMPARE(part<QLabel>(*panel_, "Label1")->text(), "Data");
    QCOMPARE(part<QLabel>(*panel_, "Label2")->text(), "Status Byte");
    QCOMPARE(statusBox(5)->text(), "Paper Error");
    QCOMPARE(panel_->windowTitle(), "Test Panel");
    QVERIFY(button("SpeedButton1")->toolTip().isEmpty() && button("SpeedButton2")->toolTip().isEmpty());
    QVERIFY(!button("SpeedButton2")->isCheckable());

    QCOMPARE(timer("Timer1")->interval(), 1000);
    QCOMPARE(timer("Timer2")->interval(), 100);
    QCOMPARE(timer("Timer2")->timerType(), Qt::PreciseTimer);
    QVERIFY(!timer("Timer1")->isActive() && !timer("Timer2")->isActive());

    QStringList tabOrder;
    QWidget* widget = lineBox(0);
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            tabOrder << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != lineBox(0));
    QCOMPARE(tabOrder, QStringList({"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "CheckBox1", "CheckBox2",
                                    "CheckBox3", "CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8"}));
}

void TestPanelTest::userClickSwitchesLine_data()
{
    QTest::addColumn<bool>("spaceBar");
    QTest::newRow("mouse") << false;
    QTest::newRow("space bar") << true;
}

void TestPanelTest::userClickSwitchesLine()
{
    QFETCH(bool, spaceBar);
    QCheckBox* box = lineBox(3);
    const auto toggle = [&] { spaceBar ? QTest::keyClick(box, Qt::Key_Space) : click(box); };

    toggle();
    QVERIFY(box->isChecked());
    QCOMPARE(takeCalls(), QStringList({"MMPInp(0x378) = 0xFF", "MMPOutp(0x378, 0xF7) = 0", "MMPInp(0x378) = 0xF7"}));
    QCOMPARE(log_.take(), QStringList({readBack("F7")}));
    QCOMPARE(port_->portData(), quint8(0xF7));

    toggle();
    QVERIFY(!box->isChecked());
    QCOMPARE(takeCalls(), QStringList({"MMPInp(0x378) = 0xF7", "MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF"}));
    QCOMPARE(log_.take(), QStringList({readBack("FF")}));
}

void TestPanelTest::allOff_data()
{
    QTest::addColumn<quint8>("checked");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<quint8>("portData");

    const QStringList allOff = {"MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF"};
    const QStringList boxHandler = {"MMPInp(0x378) = 0xFF", "MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF"};
    QTest::newRow("D0 and D3 checked")
        << quint8(0x09) << allOff + boxHandler + boxHandler
        << QStringList({AllOffLine, readBack("FF"), readBack("FF"), readBack("FF")}) << quint8(0xFF);
    QTest::newRow("none checked") << quint8(0) << allOff
                                  << QStringList({AllOffLine, readBack("FF")}) << quint8(0x12);
}

void TestPanelTest::allOff()
{
    QFETCH(quint8, checked);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, lines);
    QFETCH(quint8, portData);
    for (int line = 0; line < 8; ++line) {
        if (checked & (1 << line))
            click(lineBox(line));
    }
    takeCalls();
    log_.take();
    port_->setPortData(0x12);

    click(button("SpeedButton1"));

    QCOMPARE(takeCalls(), calls);
    QCOMPARE(log_.take(), lines);
    QCOMPARE(port_->portData(), portData);
    QCOMPARE(checkedLines(), quint8(0));
}

void TestPanelTest::scanCycle_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<Step>("first");
    QTest::addColumn<int>("joinsCycleAt");
    QTest::newRow("moving up") << false << FirstUp << 6;
    QTest::newRow("moving down") << true << FirstDown << 13;
}

void TestPanelTest::scanCycle()
{
    QFETCH(bool, descending);
    QFETCH(Step, first);
    QFETCH(int, joinsCycleAt);
    logic()->setScanDescending(descending);

    click(button("SpeedButton2"));
    QCOMPARE(log_.take(), QStringList({"Scan Mode.....  "}));
    QVERIFY(takeCalls().isEmpty());
    QCOMPARE(port_->portData(), quint8(0xFF));
    QVERIFY(timer("Timer2")->isActive());

    expectStep(first, 0);
    const int cycleLength = static_cast<int>(Cycle.size());
    for (int step = joinsCycleAt; step < joinsCycleAt + cycleLength + 4 && !QTest::currentTestFailed(); ++step)
        expectStep(Cycle[(step - 1) % cycleLength], (step - 1) % cycleLength + 1);
}

void TestPanelTest::scanAfterIntervention_data()
{
    QTest::addColumn<Intervention>("intervention");
    QTest::addColumn<quint8>("portDataThen");
    QTest::addColumn<std::vector<Step>>("steps");

    // D5 stays lit one step longer, then the cycle goes on.
    QTest::newRow("D0 checked by hand while D5 lit")
        << Intervention::CheckD0ByHand << quint8(0xDE)
        << std::vector<Step>{{{"DE"}, {"DF", "DF"}, {"DF"}, 0xDF, false, 5}, Cycle[5]};
    QTest::newRow("scan started with D0 and D2 checked")
        << Intervention::StartWithD0AndD2 << quint8(0xFF)
        << std::vector<Step>{{{"FA"}, {"FB", "FB"}, {"FB"}, 0xFB, false, 2}, Cycle[2]};
    QTest::newRow("lit box unchecked by hand")
        << Intervention::UncheckLitBox << quint8(0xFF) << std::vector<Step>{FirstUp, Cycle[5]};
    QTest::newRow("all-off button") << Intervention::AllOffButton << quint8(0xFF)
                                    << std::vector<Step>{FirstUp, Cycle[5]};
    // The light stands still: 0x00 is outside the walk, and so is the byte the lit box's handler leaves.
    QTest::newRow("script writes all on")
        << Intervention::ScriptWritesAllOn << quint8(0x00)
        << std::vector<Step>{{{"00"}, {"20", "20"}, {"20"}, 0x20, false, -1}, {{}, {"20"}, {}, 0x20, false, -1}};
}

void TestPanelTest::scanAfterIntervention()
{
    QFETCH(Intervention, intervention);
    QFETCH(quint8, portDataThen);
    QFETCH(std::vector<Step>, steps);

    if (intervention == Intervention::StartWithD0AndD2) {
        click(lineBox(0));
        click(lineBox(2));
        QCOMPARE(fakemmp::dataRegister(), 0xFAu);
        panel_->SpeedButton2Click();
    } else {
        startScanAtD5();
    }
    switch (intervention) {
    case Intervention::CheckD0ByHand: click(lineBox(0)); break;
    case Intervention::UncheckLitBox: click(lineBox(5)); break;
    case Intervention::AllOffButton: click(button("SpeedButton1")); break;
    case Intervention::ScriptWritesAllOn: port_->WriteDataByte(0x00); break;
    case Intervention::StartWithD0AndD2: break;
    }
    QCOMPARE(port_->portData(), portDataThen);
    QVERIFY(timer("Timer2")->isActive());
    takeCalls();
    log_.take();

    for (std::size_t index = 0; index < steps.size() && !QTest::currentTestFailed(); ++index)
        expectStep(steps[index], static_cast<int>(index) + 1);
}

void TestPanelTest::fullLogStopsTheScan()
{
    startScanAtD5();
    log_.room = 0;

    tick(timer("Timer2"));

    // D5's handler wrote and recorded all off; its read-back line did not fit, and the step ended there.
    QCOMPARE(takeCalls(), QStringList({"MMPInp(0x378) = 0xDF", "MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF"}));
    QCOMPARE(reports_, QStringList({"RichEdit line insertion error."}));
    QVERIFY(!timer("Timer2")->isActive());
    QCOMPARE(checkedLines(), quint8(0));
    QCOMPARE(port_->portData(), quint8(0xFF));
}

void TestPanelTest::statusPoll_data()
{
    QTest::addColumn<quint32>("status");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("digits");

    QTest::newRow("idle port") << 0x7Fu << "MMPInp(0x379) = 0x7F" << "7F";
    QTest::newRow("busy as read, not inverted") << 0x80u << "MMPInp(0x379) = 0x80" << "80";
    QTest::newRow("leading zero") << 0x05u << "MMPInp(0x379) = 0x05" << "05";
    QTest::newRow("bits above the byte") << 0x3A5u << "MMPInp(0x379) = 0x3A5" << "A5";
}

void TestPanelTest::statusPoll()
{
    QFETCH(quint32, status);
    QFETCH(QString, call);
    QFETCH(QString, digits);
    const quint8 bits = static_cast<quint8>(status);
    // Every box starts with the wrong mark, so both directions are seen.
    for (int bit = 0; bit < 8; ++bit)
        statusBox(bit)->setChecked(!((bits >> bit) & 1));
    fakemmp::setStatus(status);

    panel_->Timer1Timer();

    QCOMPARE(takeCalls(), QStringList({call}));
    QCOMPARE(log_.take(), QStringList({"Status Byte  inp(0x379) = 0x" + digits}));
    for (int bit = 0; bit < 8; ++bit)
        QCOMPARE(statusBox(bit)->isChecked(), bool((bits >> bit) & 1));
}

void TestPanelTest::statusBoxClickOnlyToggles()
{
    click(statusBox(7));
    QVERIFY(statusBox(7)->isChecked());
    QVERIFY(takeCalls().isEmpty());
    QVERIFY(log_.lines.isEmpty());
}

void TestPanelTest::endScan_data()
{
    QTest::addColumn<bool>("byClose");
    QTest::addColumn<QStringList>("lines");

    const QStringList allOff = {AllOffLine, readBack("FF"), readBack("FF")};
    QTest::newRow("scan button") << false << QStringList({"End Scan Mode.....  "}) + allOff;
    QTest::newRow("window close") << true << allOff;
}

void TestPanelTest::endScan()
{
    QFETCH(bool, byClose);
    QFETCH(QStringList, lines);
    panel_->showPanel();
    startScanAtD5();

    if (byClose)
        panel_->close();
    else
        click(button("SpeedButton2"));

    QCOMPARE(log_.take(), lines);
    QVERIFY(!timer("Timer2")->isActive());
    QCOMPARE(timer("Timer1")->isActive(), !byClose);
    QCOMPARE(panel_->isVisible(), !byClose);
    QCOMPARE(checkedLines(), quint8(0));
    QCOMPARE(port_->portData(), quint8(0xFF));
}

void TestPanelTest::closeRecordsAllOff()
{
    panel_->showPanel();
    port_->WriteDataByte(0x12);
    takeCalls();

    panel_->close();

    QCOMPARE(takeCalls(), QStringList({"MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF"}));
    QCOMPARE(log_.take(), QStringList({AllOffLine, readBack("FF")}));
    QCOMPARE(port_->portData(), quint8(0xFF));
    QVERIFY(!panel_->isVisible() && !timer("Timer1")->isActive());
}

void TestPanelTest::reopenKeepsDirection()
{
    panel_->showPanel();
    startScanAtD5();
    for (int step = 0; step < 3; ++step)
        panel_->Timer2Timer();
    QVERIFY(logic()->scanDescending());
    panel_->close();

    panel_->showPanel();
    QVERIFY(timer("Timer1")->isActive());
    QVERIFY(!timer("Timer2")->isActive());
    QVERIFY(logic()->scanDescending());
    takeCalls();
    log_.take();

    panel_->SpeedButton2Click();
    log_.take();
    expectStep(FirstDown, 1);
}

void TestPanelTest::destructionSwitchesNothing()
{
    panel_->showPanel();
    click(lineBox(0));
    takeCalls();
    log_.take();

    panel_.reset();

    QVERIFY(takeCalls().isEmpty());
    QVERIFY(log_.lines.isEmpty());
}

QTEST_MAIN(TestPanelTest)
#include "test_test_panel.moc"
