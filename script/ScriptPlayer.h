#pragma once

#include <QObject>

class LogSink;
class Port;
class ScriptRows;
class StepTimer;
class WaitTimer;

// Plays the script one row per tick of the step timer: the current row goes to the interpreter, then the
// cursor moves on; at the end it starts again at the first row when looping, otherwise it stops. A wait
// row holds it on the wait timer, whose first tick ends the wait. The timers belong to the caller, which
// delivers their ticks to step() and endWait(). Rows are due one step apart on the step timer's absolute
// schedule; a wait of n ms runs from its row's due time, and the next row is due when it ends.
//
// Signals are emitted with the player's state already settled. A receiver may read that state but must
// not call play, stop or step from inside one.
class ScriptPlayer : public QObject {
    Q_OBJECT
public:
    ScriptPlayer(Port& port, LogSink& log, ScriptRows& rows, StepTimer& stepTimer, WaitTimer& waitTimer,
                 QObject* parent = nullptr);

    bool isPlaying() const;
    bool isWaiting() const;
    // Whether the "Playing" indicator shows: from the first step after a start until the stop.
    bool indicatorShown() const { return indicatorShown_; }
    bool loopEnabled() const { return LoopEnabled; }

    // Starts playing at the current row. A running wait, even one left from a stopped run, holds it;
    // throws Failure when the script is not open.
    void play();
    // Stops playing; a running wait goes on to its end.
    void stop();
    // Records and writes all lines off, logs the read-back line, then stops.
    void stopOff();
    // Read at each end of the script.
    void setLoopEnabled(bool enabled) { LoopEnabled = enabled; }

    // One tick of the step timer. A failure stops playback before it leaves, so it is reported once.
    void step();
    // One tick of the wait timer: the wait is over. The next row is due at the wait's end, so its step
    // tick comes from inside, once the wait has ended.
    void endWait();
    // Carries out the current row, unless a wait is running.
    void playRow();

signals:
    // The step timer was started or stopped.
    void playingChanged(bool playing);
    void indicatorChanged(bool shown);

private:
    void showIndicator(bool shown);

    Port& port_;
    LogSink& log_;
    ScriptRows& rows_;
    StepTimer& stepTimer_;
    WaitTimer& waitTimer_;
    bool LoopEnabled = false;
    bool indicatorShown_ = false;
};
