#include "app/Application.h"
#include "tests/ProgramTest.h"
#include "tests/ScriptFile.h"
#include "ui/LogPane.h"
#include "script/ScriptPlayer.h"
#include "script/DataSet.h"
#include "script/ScriptDatabase.h"
#include "script/StepTimer.h"
#include "tests/WindowParts.h"
#include "tests/fake/FakeMmp.h"
#include "ui/BlinkLabel.h"
#include "ui/ErrorReport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMap>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {

using Script = QList<ScriptStep>;

// Rows that write their own number, so the log shows which row ran.
Script numberedRows(int count)
{
    Script rows;
    for (int number = 1; number <= count; ++number)
        rows.append({1, number});
    return rows;
}

// The read-back line after a row that writes the byte given.
QString ran(int byte)
{
    static const QMap<int, QString> lines = {{0x00, QStringLiteral("  inp(0x378) = 0x00")},
                                             {0x01, QStringLiteral("  inp(0x378) = 0x01")},
                                             {0x02, QStringLiteral("  inp(0x378) = 0x02")},
                                             {0x03, QStringLiteral("  inp(0x378) = 0x03")},
                                             {0xFF, QStringLiteral("  inp(0x378) = 0xFF")}};
    Q_ASSERT(lines.contains(byte));
    return lines.value(byte);
}

QStringList ranRows(std::initializer_list<int> numbers)
{
    QStringList lines;
    for (int number : numbers)
        lines << ran(number);
    return lines;
}

const QString Playing = QStringLiteral("playing");
const QString Idle = QStringLiteral("idle");

const int LongWait = 600000;
const QString LongWaitLine = QStringLiteral("Waiting  600000   (ms)");

}  // namespace

Q_DECLARE_METATYPE(Script)

class PlayerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareApplicationForTest(QStringLiteral("test_player"));
        setFailurePresenter([this](const QString& text) { reported_ << text; });
    }

    void init()
    {
        fakemmp::reset();
        reported_.clear();
    }

    void cleanup() { windows_.reset(); }

    void playsFromTheSelectedRowToTheEnd_data()
    {
        QTest::addColumn<int>("startRow");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<QStringList>("played");
        QTest::addColumn<bool>("stillPlaying");
        QTest::newRow("first row") << 0 << false << ranRows({1, 2, 3}) << false;
        QTest::newRow("middle row") << 1 << false << ranRows({2, 3}) << false;
        QTest::newRow("last row") << 2 << false << ranRows({3}) << false;
        QTest::newRow("last row, loop") << 2 << true << ranRows({3, 1, 2, 3, 1}) << true;
    }
    void playsFromTheSelectedRowToTheEnd()
    {
        QFETCH(int, startRow);
        QFETCH(bool, loop);
        QFETCH(QStringList, played);
        QFETCH(bool, stillPlaying);
        start(numberedRows(3));
        loopBox()->setChecked(loop);
        script().moveTo(startRow);

        form().PlayClick();
        QVERIFY(label()->isHidden());
        tick(5);

        QCOMPARE(logged(), played);
        QCOMPARE(playerState(), stillPlaying ? Playing : Idle);
        if (!stillPlaying)
            QCOMPARE(script().currentRow(), 2);
    }

    void secondPlayAfterTheEnd_data()
    {
        QTest::addColumn<bool>("selectFirst");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<QStringList>("replayed");
        QTest::newRow("last row once more") << false << false << ranRows({3});
        QTest::newRow("last row, then from the top") << false << true << ranRows({3, 1, 2});
        QTest::newRow("first row selected") << true << false << ranRows({1, 2, 3});
    }
    void secondPlayAfterTheEnd()
    {
        QFETCH(bool, selectFirst);
        QFETCH(bool, loop);
        QFETCH(QStringList, replayed);
        start(numberedRows(3));
        form().PlayClick();
        tick(3);
        QCOMPARE(playerState(), Idle);
        QVERIFY(script().eof());
        clearLog();

        loopBox()->setChecked(loop);
        if (selectFirst)
            script().first();
        form().PlayClick();
        tick(replayed.size());
        QCOMPARE(logged(), replayed);
    }

    void selectingARowDuringPlaybackPlaysItNext()
    {
        start(numberedRows(3));
        form().PlayClick();
        tick(2);
        script().moveTo(0);
        tick(3);
        QCOMPARE(logged(), ranRows({1, 2, 1, 2, 3}));
    }

    void emptyTable()
    {
        start({});
        form().PlayClick();
        tick(3);
        QCOMPARE(logged(), QStringList{"Unrecognized Command"});
        QCOMPARE(playerState(), Idle);

        clearLog();
        loopBox()->setChecked(true);
        form().PlayClick();
        tick(3);
        QCOMPARE(logged(), QStringList(3, QStringLiteral("Unrecognized Command")));
        QCOMPARE(playerState(), Playing);
        form().StopClick();
        QCOMPARE(playerState(), Idle);
    }

    void emptyCellsReadAsZero_data()
    {
        QTest::addColumn<Script>("rows");
        QTest::addColumn<QString>("line");
        QTest::newRow("empty command") << Script{{QVariant(), 5}} << "Unrecognized Command";
        QTest::newRow("write byte, empty data") << Script{{1, QVariant()}} << ran(0x00);
        QTest::newRow("wait, empty data") << Script{{20, QVariant()}} << "Invalid Data";
    }
    void emptyCellsReadAsZero()
    {
        QFETCH(Script, rows);
        QFETCH(QString, line);
        start(rows);
        form().PlayScript();
        QCOMPARE(logged(), QStringList{line});
        QVERIFY(!waitTimer()->isActive());
    }

    void lastRowAWaitStopsAtOnceAndHoldsPlay()
    {
        start({{1, 1}, {20, LongWait}});
        form().PlayClick();
        tick(2);
        QCOMPARE(logged(), QStringList({ran(1), LongWaitLine}));
        QCOMPARE(playerState(), Idle);
        QVERIFY(waitTimer()->isActive());
        QCOMPARE(waitTimer()->interval(), LongWait);

        form().PlayClick();
        QVERIFY(!stepTimer()->isActive());
        endWait();
        form().PlayClick();
        QVERIFY(stepTimer()->isActive());
    }

    void stopDuringAWaitLeavesTheWaitRunning()
    {
        start({{1, 1}, {20, LongWait}, {1, 3}});
        form().PlayClick();
        tick(4);
        QCOMPARE(logged(), QStringList({ran(1), LongWaitLine}));
        QCOMPARE(playerState(), Playing);
        form().PlayScript();
        QCOMPARE(logged().size(), 2);

        form().StopClick();
        QCOMPARE(playerState(), Idle);
        QVERIFY(waitTimer()->isActive());
        form().PlayClick();
        QVERIFY(!stepTimer()->isActive());

        endWait();
        form().PlayClick();
        tick(1);
        QCOMPARE(logged(), QStringList({ran(1), LongWaitLine, ran(3)}));
    }

    void loopToggledWhilePlayingActsAtTheNextEnd()
    {
        start(numberedRows(2));
        form().PlayClick();
        tick(1);
        loopBox()->setChecked(true);
        QVERIFY(player()->loopEnabled());
        tick(2);
        loopBox()->setChecked(false);
        QVERIFY(!player()->loopEnabled());
        tick(5);
        QCOMPARE(logged(), ranRows({1, 2, 1, 2}));
        QCOMPARE(playerState(), Idle);
    }

    void stopAndStopOff()
    {
        start(numberedRows(3));
        form().StopClick();
        QVERIFY(fakemmp::takeJournal().empty());
        QVERIFY(logged().isEmpty());

        fakemmp::setDataRegister(0x00);
        form().StopOff1Click();
        QCOMPARE(fakemmp::takeJournal(), std::vector<std::string>({"MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF"}));
        QCOMPARE(logged(), QStringList{ran(0xFF)});
        QCOMPARE(windows_->port.portData(), 0xFF);
        QVERIFY(label()->isHidden());

        form().PlayClick();
        tick(1);
        part<QToolButton>(form(), "LMDButtonPanel1Buttons2")->click();
        QCOMPARE(playerState(), Idle);
        QCOMPARE(script().currentRow(), 1);
    }

    void errorInsideATickStopsPlaybackAndIsReportedOnce()
    {
        start(numberedRows(3));
        LogPane& pane = *logPane();
        pane.AppendLogLine(QString(pane.activityLog().capacity() - 1, u'x'));
        form().PlayClick();
        tick(3);
        QCOMPARE(reported_, QStringList{"RichEdit line insertion error."});
        QCOMPARE(playerState(), Idle);
        QVERIFY(!label()->isBlinking());
        // The row's action was done; the failing row stays current.
        QCOMPARE(fakemmp::dataRegister(), 1u);
        QCOMPARE(script().currentRow(), 0);
    }

    void playWithoutTheScriptTableReportsIt()
    {
        const QString path = ScriptDatabase::defaultFilePath();
        writeFreshScript(Script{});
        QFile garbage(path);
        QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
        garbage.write(QByteArray(4096, 'q'));
        garbage.close();
        windows_ = std::make_unique<ProgramWindows>();
        QVERIFY(!script().isOpen());
        reported_.clear();

        part<QAction>(form(), "Play1")->trigger();
        QCOMPARE(reported_, QStringList{"The script table is not open."});
        QVERIFY(!stepTimer()->isActive());
    }

    void shortcutsWorkFromTheTestPanelButNotBehindAModalBox()
    {
        start(numberedRows(2));
        loopBox()->setChecked(true);
        windows_->showMain();
        windows_->testPanel.showPanel();
        QVERIFY(QTest::qWaitForWindowActive(&windows_->testPanel));

        QTest::keyClick(&windows_->testPanel, Qt::Key_F5);
        QVERIFY(stepTimer()->isActive());

        bool stoppedBehindTheBox = true;
        bool playedBehindTheBox = false;
        QTimer::singleShot(0, &windows_->about, [&] {
            QTest::keyClick(&windows_->about, Qt::Key_F6);
            stoppedBehindTheBox = !stepTimer()->isActive();
            const qsizetype before = logged().size();
            playedBehindTheBox = QTest::qWaitFor([&] { return logged().size() >= before + 3; }, 10000);
            windows_->about.reject();
        });
        windows_->about.exec();
        QVERIFY(!stoppedBehindTheBox);
        QVERIFY(playedBehindTheBox);

        windows_->testPanel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&windows_->testPanel));
        QTest::keyClick(&windows_->testPanel, Qt::Key_F6);
        QVERIFY(!stepTimer()->isActive());
    }

    void playsAScriptWithAWaitOnRealTimers()
    {
        start({{1, 1}, {20, 50}, {1, 2}});
        part<QAction>(form(), "Play1")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!stepTimer()->isActive(), 10000);
        QCOMPARE(logged(), QStringList({ran(1), "Waiting  50   (ms)", ran(2)}));
        QVERIFY(!waitTimer()->isActive());
        QVERIFY(label()->isHidden());
        QVERIFY(reported_.isEmpty());
    }

private:
    void start(const Script& rows)
    {
        writeFreshScript(rows);
        windows_ = std::make_unique<ProgramWindows>();
        QVERIFY(script().isOpen());
    }

    TWin2kAppForm& form() { return windows_->main; }
    DataSet& script() { return *part<DataSet>(form(), "ADOTable2"); }
    ScriptPlayer* player() { return part<ScriptPlayer>(form(), "ScriptPlayer"); }
    QCheckBox* loopBox() { return part<QCheckBox>(form(), "LoopBox"); }
    BlinkLabel* label() { return part<BlinkLabel>(form(), "LMDLabel2"); }
    StepTimer* stepTimer() { return part<StepTimer>(form(), "Timer2"); }
    WaitTimer* waitTimer() { return part<WaitTimer>(form(), "Timer1"); }
    LogPane* logPane() { return part<LogPane>(form(), "RichEdit1"); }

    // Playing: the step timer runs and the label is shown and blinking; any mixture is a fault of its own.
    QString playerState()
    {
        const bool stepping = stepTimer()->isActive();
        const bool shown = !label()->isHidden();
        const bool blinking = label()->isBlinking();
        if (stepping && shown && blinking)
            return Playing;
        if (!stepping && !shown && !blinking)
            return Idle;
        return QStringLiteral("step timer %1, label %2, blinking %3").arg(stepping).arg(shown).arg(blinking);
    }

    // The step timer's ticks, as many as the event loop would deliver while it runs.
    void tick(qsizetype count)
    {
        for (qsizetype n = 0; n < count && stepTimer()->isActive(); ++n)
            form().Timer2Timer();
    }

    void endWait()
    {
        QVERIFY(waitTimer()->isActive());
        form().Timer1Timer();
        QVERIFY(!waitTimer()->isActive());
    }

    QStringList logged() { return logPane()->toPlainText().split(u'\n', Qt::SkipEmptyParts); }
    void clearLog() { logPane()->clear(); }

    std::unique_ptr<ProgramWindows> windows_;
    QStringList reported_;
};

QTEST_MAIN(PlayerTest)
#include "test_player.moc"
