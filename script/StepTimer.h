#pragma once

#include "script/Alarm.h"

#include <QObject>
#include <memory>

// The script player's step timer: one tick per step on an absolute schedule. The k-th tick after start()
// is due k steps after it (k = 1, 2, ...), so lateness never adds up: a tick never comes before its due
// time, and one that comes late is followed by the next as soon as that is due, one tick per turn of the
// event loop. hold() pauses the ticks (a wait); resumeAt() carries the schedule on from a given time.
//
// timeout() is emitted from the event loop, or from inside resumeAt() when the resumed tick is already
// due, with the schedule already moved to the next tick; a receiver may stop, hold or resume the timer and
// read dueOfTick().
class StepTimer : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultStep{1};

    // On a timer file descriptor and the monotonic clock.
    explicit StepTimer(QObject* parent = nullptr);
    StepTimer(std::unique_ptr<Alarm> alarm, ClockReading clock, std::chrono::nanoseconds step = DefaultStep,
              QObject* parent = nullptr);

    bool isActive() const { return active_; }
    bool isHeld() const { return held_; }
    // The first tick comes one step from now; starting an active timer changes nothing.
    void start();
    void stop();
    void hold();
    // The next tick is due at next, the one after a step later, and so on; only while active. A tick
    // already due comes at once.
    void resumeAt(SteadyTime next);

    // While a tick is handled, its due time; otherwise now.
    SteadyTime dueOfTick() const;
    SteadyTime now() const { return clock_(); }

signals:
    void timeout();

private:
    void rang();

    std::unique_ptr<Alarm> alarm_;
    ClockReading clock_;
    std::chrono::nanoseconds step_;
    bool active_ = false;
    bool held_ = false;
    bool ticking_ = false;
    SteadyTime nextDue_{};
    SteadyTime tickDue_{};
};

// The script player's wait timer: active from start until stopped, it ticks once the wait's end has come.
// The end is an absolute time, so a wait is measured from when its row was due, not from when it ran.
//
// timeout() is emitted from the event loop; a receiver may stop or start the timer.
class WaitTimer : public QObject {
    Q_OBJECT
public:
    // On a timer file descriptor.
    explicit WaitTimer(QObject* parent = nullptr);
    WaitTimer(std::unique_ptr<Alarm> alarm, QObject* parent = nullptr);

    bool isActive() const { return active_; }
    // The wait last started, in milliseconds.
    int interval() const { return interval_; }
    SteadyTime end() const { return end_; }
    void start(SteadyTime from, int milliseconds);
    void stop();

signals:
    void timeout();

private:
    std::unique_ptr<Alarm> alarm_;
    bool active_ = false;
    int interval_ = 0;
    SteadyTime end_{};
};
