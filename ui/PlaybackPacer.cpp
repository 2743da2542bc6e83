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
    due_.clear();
    if (active)
        interval_.start();
    else
        interval_.stop();
    paints_.setActive(active);
}

void PlaybackPacer::frameDue()
{
    if (!active_ || !due_.empty())
        return;
    for (const auto& catchUp : catchUps_) {
        due_.push_back(catchUp);
        due_.push_back([this] { paints_.releasePendingPaint(); });
    }
    if (rowsRunning_())
        return;
    while (!due_.empty()) {
        const auto work = std::move(due_.front());
        due_.pop_front();
        work();
    }
}

void PlaybackPacer::rowPlayed()
{
    if (!active_ || due_.empty())
        return;
    runInNextGap(std::move(due_.front()));
    due_.pop_front();
}

void PlaybackPacer::runInNextGap(std::function<void()> work)
{
    // Posted, so it runs once the row's own event is over, long before the next row is due.
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work)] {
            if (active_)
                work();
        },
        Qt::QueuedConnection);
}
