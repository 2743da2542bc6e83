#pragma once

#include <QObject>
#include <chrono>
#include <functional>

class QSocketNotifier;
class QTimer;

// Times on the monotonic clock (libstdc++'s steady clock is CLOCK_MONOTONIC on Linux).
using SteadyTime = std::chrono::steady_clock::time_point;
// Reads the clock; tests hand in their own.
using ClockReading = std::function<SteadyTime()>;

// Rings once at an absolute time, from the event loop, never before it. Arming again replaces the last
// deadline; a deadline already past rings at the loop's next turn.
//
// rang() is emitted from the event loop; a receiver may arm or cancel the alarm again.
class Alarm : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void ringAt(SteadyTime deadline) = 0;
    virtual void cancel() = 0;

signals:
    void rang();
};

// A Linux timer file descriptor with an absolute deadline, read by the event loop. The loop's own timers
// sleep in whole milliseconds (a 1 ms timer wakes anywhere up to a millisecond late, so its ticks come
// 0.5 and 1.5 ms apart); the descriptor wakes the loop within microseconds of its deadline. Where no
// descriptor can be had, a precise Qt timer stands in, rounded up so it never rings early.
//
// With a lead, the descriptor wakes the loop that much before the deadline and the alarm waits out the
// rest on the clock: a thread that has slept for long wakes a tenth of a millisecond or more after its
// deadline, one that is already running does not.
class TimerFdAlarm : public Alarm {
    Q_OBJECT
public:
    explicit TimerFdAlarm(QObject* parent = nullptr);
    explicit TimerFdAlarm(std::chrono::microseconds lead, QObject* parent = nullptr);
    ~TimerFdAlarm() override;

    void ringAt(SteadyTime deadline) override;
    void cancel() override;

private:
    void expired();

    std::chrono::microseconds lead_{0};
    SteadyTime deadline_{};
    int descriptor_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* standIn_ = nullptr;
};
