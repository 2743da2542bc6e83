#pragma once

#include <functional>

// A view's update that runs at once, or, while deferred, once when the view is told to catch up and once
// more when the deferral ends. For views whose changes nobody sees between two repaints: a script that
// plays a row each millisecond would otherwise have them redo their work for every row.
class DeferredUpdate {
public:
    explicit DeferredUpdate(std::function<void()> update);

    void request();
    // Ending the deferral runs a pending update.
    void setDeferred(bool deferred);
    bool isDeferred() const { return deferred_; }
    // Runs a pending update now: the view catches up, or the user is about to act on what it shows.
    void flush();

private:
    std::function<void()> update_;
    bool deferred_ = false;
    bool pending_ = false;
};
