#include "core/DeferredUpdate.h"

#include <QtGlobal>

DeferredUpdate::DeferredUpdate(std::function<void()> update) : update_(std::move(update))
{
    Q_ASSERT(update_);
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
    if (!deferred)
        flush();
}

void DeferredUpdate::flush()
{
    if (!pending_)
        return;
    pending_ = false;
    update_();
}
