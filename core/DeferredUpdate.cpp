#include "core/DeferredUpdate.h"

DeferredUpdate::DeferredUpdate(std::function<void()> update, int intervalMilliseconds) : update_(std::move(update))
{
    Q_ASSERT(update_);
    interval_.setInterval(intervalMilliseconds);
    QObject::connect(&interval_, &QTimer::timeout, [this] { flush(); });
}

void DeferredUpdate::request()
{
    if (!deferred_) {
        update_();
        return;
    }
    pending_ = true;
}

void DeferredUpdate::setDeferred(bool deferred)
{
    if (deferred == deferred_)
        return;
    deferred_ = deferred;
    if (deferred) {
        interval_.start();
    } else {
        interval_.stop();
        flush();
    }
}

void DeferredUpdate::flush()
{
    if (!pending_)
        return;
    pending_ = false;
    update_();
}
