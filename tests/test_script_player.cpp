// The script player on its own: a script held in memory, timers on a test clock and alarms that ring only
// when the test says so (or the test delivers the ticks itself), the recording driver, and a log that can
// be made full.
#include "core/Failure.h"
#include "port/Port.h"
#include "script/ScriptPlayer.h"
#include "script/ScriptRows.h"
#include "tests/RecordingLog.h"
#include "script/StepTimer.h"
#include "tests/FakeAlarm.h"
#include "tests/fake/FakeMmp.h"

#include <QSignalSpy>
#include <QTest>

namespace {

struct Row {
    qint32 command;
    qint32 data;
};

// A script in memory with the cursor rules of the Script table: a move past the last row sets the end
// flag and stays there, and a move to the next row does nothing while the flag is set.
class MemoryRows : public ScriptRows {
public:
    QList<Row> rows;
    int current = 0;
    bool open = true;

    void select(int row)
    {
        current = row;
        atEnd_ = rows.isEmpty();
    }
    bool isOpen() const override { return open; }
    qint32 command() const override { return rows.isEmpty() ? 0 : rows[current].command; }
    qint32 data() const override { return rows.isEmpty() ? 0 : rows[current].data; }
    void next() override
    {
        if (atEnd_)
            return;
        if (current + 1 < rows.size())
            ++current;
        else
            atEnd_ = true;
    }
    void first() override { select(0); }
    bool eof() const override { return atEnd_; }

private:
    bool atEnd_ = false;
};

}  // namespace

class ScriptPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        fakemmp::reset();
        rows_ = {};
        log_ = {};
        port_ = std::make_unique<Port>();
        stepAlarm_ = new FakeAlarm;
        waitAlarm_ = new FakeAlarm;
        stepTimer_ = std::make_unique<StepTimer>(std::unique_ptr<Alarm>(stepAlarm_), clock_.reading());
        waitTimer_ = std::make_unique<WaitTimer>(std::unique_ptr<Alarm>(waitAlarm_));
        player_ = std::make_unique<ScriptPlayer>(*port_, log_, rows_, *stepTimer_, *waitTimer_);
    }

    void cleanup()
    {
        player_.reset();
        waitTimer_.reset();
        stepTimer_.reset();
        port_.reset();
    }

    void playsToTheEndOrLoops_data()
    {
        QTest::addColumn<int>("startRow");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<QStringList>("logged");
        QTest::addColumn<bool>("stillPlaying");
        QTest::newRow("from the first row")
            << 0 << false << QStringList({"  inp(0x378) = 0x01", "  inp(0x378) = 0x02", "  inp(0x378) = 0x03"})
            << false;
        QTest::newRow("from the last row") << 2 << false << QStringList({"  inp(0x378) = 0x03"}) << false;
        QTest::newRow("from the last row, looping")
            << 2 << true
            << QStringList({"  inp(0x378) = 0x03", "  inp(0x378) = 0x01", "  inp(0x378) = 0x02",
                            "  inp(0x378) = 0x03", "  inp(0x378) = 0x01"})
            << true;
    }
    void playsToTheEndOrLoops()
    {
        QFETCH(int, startRow);
        QFETCH(bool, loop);
        QFETCH(QStringList, logged);
        QFETCH(bool, stillPlaying);
        rows_.rows = {{1, 1}, {1, 2}, {1, 3}};
        rows_.select(startRow);
        player_->setLoopEnabled(loop);

        player_->play();
        QVERIFY(!player_->indicatorShown());
        steps(5);

        QCOMPARE(log_.lines, logged);
        QCOMPARE(player_->isPlaying(), stillPlaying);
        QCOMPARE(player_->indicatorShown(), stillPlaying);
    }

    void signalsComeWithTheStateSettled()
    {
        rows_.rows = {{1, 1}, {1, 2}};
        QStringList seen;
        connect(player_.get(), &ScriptPlayer::playingChanged, this, [&](bool playing) {
            seen << QStringLiteral("playing %1, timer %2").arg(playing).arg(player_->isPlaying());
        });
        connect(player_.get(), &ScriptPlayer::indicatorChanged, this, [&](bool shown) {
            seen << QStringLiteral("indicator %1, state %2").arg(shown).arg(player_->indicatorShown());
        });

        player_->play();
        player_->play();
        steps(2);
        player_->stop();

        QCOMPARE(seen, QStringList({"playing 1, timer 1", "indicator 1, state 1", "indicator 0, state 0",
                                    "playing 0, timer 0"}));
    }

    void aWaitHoldsTheNextRowAndOutlivesAStop()
    {
        rows_.rows = {{1, 1}, {20, 600000}, {1, 3}};
        player_->play();
        steps(4);
        QCOMPARE(log_.lines, QStringList({"  inp(0x378) = 0x01", "Waiting  600000   (ms)"}));
        QVERIFY(player_->isWaiting());
        QCOMPARE(waitTimer_->interval(), 600000);
        QVERIFY(player_->indicatorShown());

        player_->stop();
        player_->play();
        QVERIFY(!player_->isPlaying());

        player_->endWait();
        QVERIFY(!player_->isWaiting());
        player_->play();
        steps(1);
        QCOMPARE(log_.lines.last(), QStringLiteral("  inp(0x378) = 0x03"));
        QVERIFY(!player_->isPlaying());
    }

    // Rows are due a step apart from Play; a late row's wait still ends 500 ms after the row was due, and
    // the next row is due right then.
    void aWaitRunsFromItsRowsDueTimeAndTheNextRowIsDueAtItsEnd()
    {
        rows_.rows = {{1, 1}, {20, 500}, {1, 3}, {1, 4}};
        connect(stepTimer_.get(), &StepTimer::timeout, player_.get(), &ScriptPlayer::step);
        connect(waitTimer_.get(), &WaitTimer::timeout, player_.get(), &ScriptPlayer::endWait);
        QList<qint64> rowsDue;
        connect(stepTimer_.get(), &StepTimer::timeout, this,
                [&] { rowsDue.append(microseconds(stepTimer_->dueOfTick())); });
        const auto ringStepAt = [this](qint64 time) {
            clock_.setMicroseconds(time);
            stepAlarm_->ring();
        };
        player_->play();
        QCOMPARE(armedMicroseconds(*stepAlarm_), 1000);
        ringStepAt(1000);
        ringStepAt(2700);
        QVERIFY(player_->isWaiting());
        QCOMPARE(armedMicroseconds(*waitAlarm_), 502000);
        QVERIFY(!stepAlarm_->armed);

        clock_.setMicroseconds(502100);
        waitAlarm_->ring();
        QVERIFY(!player_->isWaiting());
        // The row after the wait was due at its end: it has run on the wait's tick.
        QCOMPARE(rowsDue, (QList<qint64>{1000, 2000, 502000}));
        QCOMPARE(armedMicroseconds(*stepAlarm_), 503000);
        ringStepAt(503000);
        QCOMPARE(rowsDue, (QList<qint64>{1000, 2000, 502000, 503000}));
        QCOMPARE(log_.lines.size(), 4);
        QVERIFY(!player_->isPlaying());
    }

    void emptyScriptLogsOnceOrUntilStopped()
    {
        player_->play();
        steps(3);
        QCOMPARE(log_.lines, QStringList{"Unrecognized Command"});
        QVERIFY(!player_->isPlaying());

        player_->setLoopEnabled(true);
        player_->play();
        steps(3);
        QCOMPARE(log_.lines, QStringList(4, QStringLiteral("Unrecognized Command")));
        QVERIFY(player_->isPlaying());
    }

    void stopOffSwitchesAllLinesOffAndStops()
    {
        rows_.rows = {{1, 1}, {1, 2}};
        fakemmp::setDataRegister(0x00);
        player_->play();
        steps(1);
        fakemmp::takeJournal();
        log_.lines.clear();

        player_->stopOff();

        QCOMPARE(fakemmp::takeJournal(), std::vector<std::string>({"MMPOutp(0x378, 0xFF) = 0", "MMPInp(0x378) = 0xFF"}));
        QCOMPARE(log_.lines, QStringList{"  inp(0x378) = 0xFF"});
        QCOMPARE(port_->portData(), quint8(0xFF));
        QVERIFY(!player_->isPlaying() && !player_->indicatorShown());
        QCOMPARE(rows_.current, 1);
    }

    void aFailingStepStopsBeforeItLeaves()
    {
        rows_.rows = {{1, 1}, {1, 2}};
        log_.room = 0;
        player_->play();

        QVERIFY_THROWS_EXCEPTION(Failure, player_->step());

        QVERIFY(!player_->isPlaying() && !player_->indicatorShown());
        // The row's port action was done; the row stays current, to run again on the next Play.
        QCOMPARE(fakemmp::dataRegister(), 1u);
        QCOMPARE(rows_.current, 0);
    }

    void playWithoutAnOpenScriptFails()
    {
        rows_.open = false;
        QVERIFY_THROWS_EXCEPTION(Failure, player_->play());
        QVERIFY(!player_->isPlaying());
    }

private:
    // The step timer's ticks, as many as would come while it runs.
    void steps(int count)
    {
        for (int tick = 0; tick < count && player_->isPlaying(); ++tick)
            player_->step();
    }

    MemoryRows rows_;
    RecordingLog log_;
    std::unique_ptr<Port> port_;
    FakeClock clock_;
    FakeAlarm* stepAlarm_ = nullptr;
    FakeAlarm* waitAlarm_ = nullptr;
    std::unique_ptr<StepTimer> stepTimer_;
    std::unique_ptr<WaitTimer> waitTimer_;
    std::unique_ptr<ScriptPlayer> player_;
};

QTEST_GUILESS_MAIN(ScriptPlayerTest)
#include "test_script_player.moc"
