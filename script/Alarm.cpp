#include "script/Alarm.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdint>
#include <sys/prctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

timespec timespecOf(SteadyTime time)
{
    const auto sinceBoot = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
    // Zero would disarm the descriptor; the clock's first nanosecond is long past anyway.
    const auto nanoseconds = std::max<std::int64_t>(sinceBoot, 1);
    return {static_cast<time_t>(nanoseconds / 1'000'000'000), static_cast<long>(nanoseconds % 1'000'000'000)};
}

}  // namespace

TimerFdAlarm::TimerFdAlarm(QObject* parent) : TimerFdAlarm(std::chrono::microseconds(0), parent) {}

TimerFdAlarm::TimerFdAlarm(std::chrono::microseconds lead, QObject* parent) : Alarm(parent), lead_(lead)
{
    Q_ASSERT(lead.count() >= 0);
    // The kernel lets a thread's timers expire up to 50 us late by default, to wake it less often; an
    // alarm is only there to wake it on time.
    prctl(PR_SET_TIMERSLACK, 1UL);
    descriptor_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (descriptor_ >= 0) {
        notifier_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &TimerFdAlarm::expired);
        return;
    }
    standIn_ = new QTimer(this);
    standIn_->setSingleShot(true);
    standIn_->setTimerType(Qt::PreciseTimer);
    connect(standIn_, &QTimer::timeout, this, &TimerFdAlarm::expired);
}

TimerFdAlarm::~TimerFdAlarm()
{
    if (descriptor_ >= 0) {
        delete notifier_;
        close(descriptor_);
    }
}

void TimerFdAlarm::ringAt(SteadyTime deadline)
{
    deadline_ = deadline;
    if (descriptor_ >= 0) {
        const itimerspec setting{{0, 0}, timespecOf(deadline - lead_)};
        const int result = timerfd_settime(descriptor_, TFD_TIMER_ABSTIME, &setting, nullptr);
        Q_ASSERT(result == 0);
        Q_UNUSED(result);
        return;
    }
    const auto remaining = deadline - std::chrono::steady_clock::now();
    standIn_->start(std::chrono::ceil<std::chrono::milliseconds>(std::max(remaining, SteadyTime::duration::zero())));
}

void TimerFdAlarm::cancel()
{
    if (descriptor_ >= 0) {
        const itimerspec disarmed{};
        timerfd_settime(descriptor_, 0, &disarmed, nullptr);
        return;
    }
    standIn_->stop();
}

void TimerFdAlarm::expired()
{
    if (descriptor_ >= 0) {
        std::uint64_t expirations = 0;
        // Nothing to read: the alarm was re-armed or cancelled after it expired.
        if (read(descriptor_, &expirations, sizeof expirations) != sizeof expirations)
            return;
        // At most the lead: the descriptor expired that long before the deadline.
        while (std::chrono::steady_clock::now() < deadline_) {
        }
    }
    emit rang();
}
