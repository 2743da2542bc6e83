#pragma once

#include "ui/PaintThrottle.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <vector>

// Paces the views' work to a playing script's rows. Once per interval each group of views catches up on
// what it deferred and the window repaints what that changed. Every catch-up and every repaint runs right
// after a row, in the gap before the next one, one of them per gap, so none of them delays a row. While no
// rows run (a wait), all of them run when the interval has passed.
//
// Emits nothing; the callbacks it is given run from the event loop and may do anything but delete it.
class PlaybackPacer : public QObject {
public:
    static constexpr std::chrono::milliseconds DefaultInterval{40};

    // Each of catchUps brings a group of deferred views up to date; rowsRunning tells whether rows are
    // being played one step apart.
    PlaybackPacer(QWidget& window, std::vector<std::function<void()>> catchUps, std::function<bool()> rowsRunning,
                  std::chrono::milliseconds interval = DefaultInterval);

    // While active the window's repaints are held back; switching off repaints what is pending at once.
    void setActive(bool active);
    bool isActive() const { return active_; }
    // A row has just run.
    void rowPlayed();
    // An interval has passed since the last catch-up; called by the pacer's own timer.
    void frameDue();

private:
    // Step 2k is the k-th group's catch-up, step 2k + 1 the repaint after it.
    int stepCount() const { return 2 * static_cast<int>(catchUps_.size()); }
    void runStep(int step);
    void runInNextGap(int step);

    PaintThrottle paints_;
    std::vector<std::function<void()>> catchUps_;
    std::function<bool()> rowsRunning_;
    QTimer interval_;
    bool active_ = false;
    // The next step of the current interval; stepCount() when all have run.
    int nextStep_ = 0;
};
