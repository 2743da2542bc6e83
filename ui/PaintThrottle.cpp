#include "ui/PaintThrottle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

PaintThrottle::PaintThrottle(QWidget& window) : QObject(&window), window_(window)
{
    window_.installEventFilter(this);
}

void PaintThrottle::setActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    if (!active)
        releasePendingPaint();
}

bool PaintThrottle::eventFilter(QObject* watched, QEvent* event)
{
    // Qt asks for one update at a time and keeps collecting the dirty region until it is served, so a
    // held-back request loses nothing.
    if (active_ && !releasing_ && watched == &window_ && event->type() == QEvent::UpdateRequest) {
        pending_ = true;
        return true;
    }
    return false;
}

void PaintThrottle::releasePendingPaint()
{
    if (!pending_)
        return;
    pending_ = false;
    releasing_ = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&window_, &request);
    releasing_ = false;
}
