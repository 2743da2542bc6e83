#include "ui/PlaybackPacer.h"

#include <QWidget>
#include <utility>

PlaybackPacer::PlaybackPacer(QWidget& window, std::vector<std::function<void()>> catchUps,
                             std::function<bool()> rowsRunning, std::chrono::milliseconds interval)
    : QObject(&window), paints_(window), catchUps_(std::move(catchUps)), rowsRunning_(std::move(rowsRunning))
{
    Q_ASSERT(!catchUps_.empty() && rowsRunning_ && interval.count() > 0);
    interval_.setInterval(interval);
    connect(&interval_, &QTimer::timeout, this, &PlaybackPacer::frameDue);
}

void PlaybackPacer::setActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    nextStep_ = stepCount();
    if (active)
        interval_.start();
    else
        interval_.stop();
    paints_.setActive(active);
}

void PlaybackPacer::frameDue()
{
    if (!active_ || nextStep_ < stepCount())
        return;
    nextStep_ = 0;
    if (rowsRunning_())
        return;
    while (nextStep_ < stepCount())
        runStep(nextStep_++);
}

void PlaybackPacer::rowPlayed()
{
    if (active_ && nextStep_ < stepCount())
        runInNextGap(nextStep_++);
}

void PlaybackPacer::runStep(int step)
{
    Q_ASSERT(step >= 0 && step < stepCount());
    if (step % 2 == 0)
        catchUps_[static_cast<std::size_t>(step / 2)]();
    else
        paints_.releasePendingPaint();
}

void PlaybackPacer::runInNextGap(int step)
{
    // Posted, so it runs once the row's own event is over, long before the next row is due.
    QMetaObject::invokeMethod(
        this,
        [this, step] {
            if (active_)
                runStep(step);
        },
        Qt::QueuedConnection);
}
