#include "script/StepTimer.h"
#include "tests/FakeAlarm.h"

#include <QTest>

using namespace std::chrono_literals;

namespace {

// A step timer on a fake clock and alarm whose ticks record their due times.
struct Fixture {
    FakeClock clock;
    FakeAlarm* stepAlarm = new FakeAlarm;
    FakeAlarm* waitAlarm = new FakeAlarm;
    StepTimer steps{std::unique_ptr<Alarm>(stepAlarm), clock.reading()};
    WaitTimer wait{std::unique_ptr<Alarm>(waitAlarm)};
    QList<qint64> ticks;

    Fixture()
    {
        QObject::connect(&steps, &StepTimer::timeout, [this] { ticks.append(microseconds(steps.dueOfTick())); });
    }

    // The step alarm rings at the given time, whatever it was armed for.
    void ringAt(qint64 time)
    {
        clock.setMicroseconds(time);
        stepAlarm->ring();
    }
};

}  // namespace

class StepTimerTest : public QObject {
    Q_OBJECT

private slots:
    // Each row: the step alarm rings at a time; the ticks it gives (their due times) and the deadline it
    // is armed for next.
    void absoluteScheduleNeverEarlyCatchesUpOneTickPerRing_data()
    {
        QTest::addColumn<QList<qint64>>("ringTimes");
        QTest::addColumn<QList<qint64>>("ticks");
        QTest::addColumn<qint64>("armedNext");
        // Started at 10,000 us: the k-th tick is due at 10,000 + k * 1,000.
        QTest::newRow("on time") << QList<qint64>{11000, 12000, 13000} << QList<qint64>{11000, 12000, 13000}
                                 << qint64(14000);
        QTest::newRow("late ticks keep the schedule")
            << QList<qint64>{11500, 12900, 13001} << QList<qint64>{11000, 12000, 13000} << qint64(14000);
        QTest::newRow("early ring gives no tick") << QList<qint64>{10999} << QList<qint64>{} << qint64(11000);
        QTest::newRow("after a stall, one tick per ring until caught up")
            << QList<qint64>{14400, 14410, 14420, 14430, 14440}
            << QList<qint64>{11000, 12000, 13000, 14000} << qint64(15000);
    }
    void absoluteScheduleNeverEarlyCatchesUpOneTickPerRing()
    {
        QFETCH(QList<qint64>, ringTimes);
        QFETCH(QList<qint64>, ticks);
        QFETCH(qint64, armedNext);
        Fixture fixture;
        fixture.clock.setMicroseconds(10000);
        fixture.steps.start();
        QCOMPARE(armedMicroseconds(*fixture.stepAlarm), 11000);
        for (const qint64 time : ringTimes)
            fixture.ringAt(time);
        QCOMPARE(fixture.ticks, ticks);
        QCOMPARE(armedMicroseconds(*fixture.stepAlarm), armedNext);
    }

    void startWhileActiveKeepsTheScheduleAndStopDisarms()
    {
        Fixture fixture;
        fixture.steps.start();
        fixture.ringAt(1000);
        fixture.clock.setMicroseconds(1500);
        fixture.steps.start();
        QCOMPARE(armedMicroseconds(*fixture.stepAlarm), 2000);

        QObject::connect(&fixture.steps, &StepTimer::timeout, &fixture.steps, &StepTimer::stop);
        fixture.ringAt(2000);
        QVERIFY(!fixture.steps.isActive());
        QVERIFY(!fixture.stepAlarm->armed);
        fixture.ringAt(3000);
        QCOMPARE(fixture.ticks, (QList<qint64>{1000, 2000}));
        QCOMPARE(fixture.steps.dueOfTick(), fixture.clock.now);
    }

    // As the player does it: the row due at 12 ms starts a 500 ms wait, which ends at 512 ms however late
    // the row ran; the next row is due then, and the schedule goes on from there.
    void aWaitDelaysTheNextTickFromTheWaitRowsDueTime()
    {
        Fixture fixture;
        QObject::connect(&fixture.steps, &StepTimer::timeout, [&] {
            if (fixture.ticks.size() == 2) {
                fixture.wait.start(fixture.steps.dueOfTick(), 500);
                fixture.steps.hold();
            }
        });
        QObject::connect(&fixture.wait, &WaitTimer::timeout, [&] {
            fixture.wait.stop();
            fixture.steps.resumeAt(fixture.wait.end());
        });
        fixture.clock.setMicroseconds(10000);
        fixture.steps.start();
        fixture.ringAt(11000);
        fixture.ringAt(12700);
        QVERIFY(fixture.wait.isActive());
        QCOMPARE(fixture.wait.interval(), 500);
        QCOMPARE(armedMicroseconds(*fixture.waitAlarm), 512000);
        QVERIFY(!fixture.stepAlarm->armed);
        fixture.ringAt(13000);
        QCOMPARE(fixture.ticks.size(), 2);

        fixture.clock.setMicroseconds(512100);
        fixture.waitAlarm->ring();
        QVERIFY(!fixture.wait.isActive());
        // The row after the wait is due at its end, which has come: its tick comes at once.
        QCOMPARE(fixture.ticks, (QList<qint64>{11000, 12000, 512000}));
        QCOMPARE(armedMicroseconds(*fixture.stepAlarm), 513000);
        fixture.ringAt(513000);
        QCOMPARE(fixture.ticks, (QList<qint64>{11000, 12000, 512000, 513000}));
    }

    void resumingAheadOfTimeArmsTheAlarm()
    {
        Fixture fixture;
        fixture.steps.start();
        fixture.steps.hold();
        fixture.steps.resumeAt(fixture.clock.now + 5ms);
        QVERIFY(fixture.ticks.isEmpty());
        QCOMPARE(armedMicroseconds(*fixture.stepAlarm), 5000);
    }

    void aStoppedTimerIsNotResumedByAWaitsEnd()
    {
        Fixture fixture;
        fixture.steps.start();
        fixture.steps.hold();
        fixture.steps.stop();
        fixture.steps.resumeAt(fixture.clock.now);
        QVERIFY(!fixture.steps.isActive());
        QVERIFY(!fixture.stepAlarm->armed);
    }

    // The real alarm, with and without waking early: never before its deadline, a past deadline at the
    // loop's next turn, re-arming replaces the deadline and a cancelled alarm stays silent.
    void timerDescriptorAlarm_data()
    {
        QTest::addColumn<int>("leadMicroseconds");
        QTest::newRow("on time") << 0;
        QTest::newRow("early, then on the clock") << 200;
    }

    void timerDescriptorAlarm()
    {
        QFETCH(int, leadMicroseconds);
        TimerFdAlarm alarm{std::chrono::microseconds(leadMicroseconds)};
        QList<SteadyTime> rang;
        connect(&alarm, &Alarm::rang, [&] { rang.append(std::chrono::steady_clock::now()); });
        const SteadyTime deadline = std::chrono::steady_clock::now() + 3ms;
        alarm.ringAt(deadline - 2ms);
        alarm.ringAt(deadline);
        QTRY_COMPARE(rang.size(), 1);
        QVERIFY(rang.first() >= deadline);

        alarm.ringAt(deadline);
        QTRY_COMPARE(rang.size(), 2);
        QVERIFY(rang.last() >= deadline);

        alarm.ringAt(std::chrono::steady_clock::now() + 1ms);
        alarm.cancel();
        QTest::qWait(20);
        QCOMPARE(rang.size(), 2);
    }
};

QTEST_GUILESS_MAIN(StepTimerTest)
#include "test_step_timer.moc"
