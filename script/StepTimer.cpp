#include "script/StepTimer.h"

#include <QScopedValueRollback>

StepTimer::StepTimer(QObject* parent)
    : StepTimer(std::make_unique<TimerFdAlarm>(), [] { return std::chrono::steady_clock::now(); }, DefaultStep,
                parent)
{
}

StepTimer::StepTimer(std::unique_ptr<Alarm> alarm, ClockReading clock, std::chrono::nanoseconds step,
                     QObject* parent)
    : QObject(parent), alarm_(std::move(alarm)), clock_(std::move(clock)), step_(step)
{
    Q_ASSERT(alarm_ && clock_ && step_.count() > 0);
    alarm_->setParent(nullptr);
    connect(alarm_.get(), &Alarm::rang, this, &StepTimer::rang);
}

void StepTimer::start()
{
    if (active_)
        return;
    active_ = true;
    held_ = false;
    nextDue_ = clock_() + step_;
    alarm_->ringAt(nextDue_);
}

void StepTimer::stop()
{
    active_ = false;
    held_ = false;
    alarm_->cancel();
}

void StepTimer::hold()
{
    if (!active_)
        return;
    held_ = true;
    alarm_->cancel();
}

void StepTimer::resumeAt(SteadyTime next)
{
    if (!active_)
        return;
    held_ = false;
    nextDue_ = next;
    // A tick already due comes now, not a turn of the event loop later.
    if (clock_() >= nextDue_)
        rang();
    else
        alarm_->ringAt(nextDue_);
}

SteadyTime StepTimer::dueOfTick() const
{
    return ticking_ ? tickDue_ : clock_();
}

void StepTimer::rang()
{
    if (!active_ || held_)
        return;
    // An alarm that rings early (a stand-in timer, a clock step) is put back to the due time.
    if (clock_() < nextDue_) {
        alarm_->ringAt(nextDue_);
        return;
    }
    tickDue_ = nextDue_;
    nextDue_ += step_;
    alarm_->ringAt(nextDue_);
    const QScopedValueRollback<bool> ticking(ticking_, true);
    emit timeout();
}

// Waits are long sleeps, so the alarm wakes early: the row after a wait is due at its end to the microsecond.
WaitTimer::WaitTimer(QObject* parent) : WaitTimer(std::make_unique<TimerFdAlarm>(std::chrono::microseconds(200)), parent) {}

WaitTimer::WaitTimer(std::unique_ptr<Alarm> alarm, QObject* parent) : QObject(parent), alarm_(std::move(alarm))
{
    Q_ASSERT(alarm_);
    alarm_->setParent(nullptr);
    connect(alarm_.get(), &Alarm::rang, this, [this] {
        if (active_)
            emit timeout();
    });
}

void WaitTimer::start(SteadyTime from, int milliseconds)
{
    Q_ASSERT(milliseconds > 0);
    active_ = true;
    interval_ = milliseconds;
    end_ = from + std::chrono::milliseconds(milliseconds);
    alarm_->ringAt(end_);
}

void WaitTimer::stop()
{
    active_ = false;
    alarm_->cancel();
}
