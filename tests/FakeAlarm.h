#pragma once

#include "script/Alarm.h"

#include <QtGlobal>
#include <chrono>
#include <optional>

// An alarm that rings only when the test says so and tells what it was armed for.
class FakeAlarm : public Alarm {
public:
    std::optional<SteadyTime> armed;

    void ringAt(SteadyTime deadline) override { armed = deadline; }
    void cancel() override { armed.reset(); }
    void ring()
    {
        armed.reset();
        emit rang();
    }
};

// A test clock, set and read in microseconds since its start.
struct FakeClock {
    SteadyTime now{};
    ClockReading reading()
    {
        return [this] { return now; };
    }
    void setMicroseconds(qint64 time) { now = SteadyTime(std::chrono::microseconds(time)); }
};

inline qint64 microseconds(SteadyTime time)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(time.time_since_epoch()).count();
}

// When the alarm is armed for, in microseconds; -1 when it is not armed.
inline qint64 armedMicroseconds(const FakeAlarm& alarm)
{
    return alarm.armed ? microseconds(*alarm.armed) : -1;
}
