#include "script/ScriptPlayer.h"

#include "core/Failure.h"
#include "port/Port.h"
#include "script/Interpreter.h"
#include "script/ScriptRows.h"
#include "script/StepTimer.h"

ScriptPlayer::ScriptPlayer(Port& port, LogSink& log, ScriptRows& rows, StepTimer& stepTimer,
                           WaitTimer& waitTimer, QObject* parent)
    : QObject(parent), port_(port), log_(log), rows_(rows), stepTimer_(stepTimer), waitTimer_(waitTimer)
{
    Q_ASSERT(!stepTimer.isActive() && !waitTimer.isActive());
}

bool ScriptPlayer::isPlaying() const
{
    return stepTimer_.isActive();
}

bool ScriptPlayer::isWaiting() const
{
    return waitTimer_.isActive();
}

void ScriptPlayer::play()
{
    if (isWaiting())
        return;
    if (!rows_.isOpen())
        throw scriptNotOpen();
    if (isPlaying())
        return;
    stepTimer_.start();
    emit playingChanged(true);
}

void ScriptPlayer::stop()
{
    const bool wasPlaying = isPlaying();
    stepTimer_.stop();
    showIndicator(false);
    if (wasPlaying)
        emit playingChanged(false);
}

void ScriptPlayer::stopOff()
{
    port_.WriteDataByte(0xFF);
    port_.ReadBackLine(log_);
    stop();
}

void ScriptPlayer::step()
{
    try {
        showIndicator(true);
        if (isWaiting())
            return;
        playRow();
        rows_.next();
        if (!rows_.eof())
            return;
        if (LoopEnabled)
            rows_.first();
        else
            stop();
    } catch (...) {
        // A failing step would fail again at every tick, each behind its own report.
        stop();
        throw;
    }
}

void ScriptPlayer::endWait()
{
    waitTimer_.stop();
    // The row after the wait is due when the wait ends, not a step later; last, as it may run it.
    stepTimer_.resumeAt(waitTimer_.end());
}

void ScriptPlayer::playRow()
{
    if (isWaiting())
        return;
    executeScriptCommand(rows_.command(), rows_.data(), port_, log_,
                         [this](int milliseconds) {
                             // Measured from when the wait row was due, so lateness does not add up.
                             waitTimer_.start(stepTimer_.dueOfTick(), milliseconds);
                             stepTimer_.hold();
                         });
}

void ScriptPlayer::showIndicator(bool shown)
{
    if (indicatorShown_ == shown)
        return;
    indicatorShown_ = shown;
    emit indicatorChanged(shown);
}
