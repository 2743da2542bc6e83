#pragma once

#include <QTimer>
#include <functional>

// A view's update that runs at once, or, while deferred, at most once per interval and once more when
// the deferral ends. For views whose changes nobody sees between two throttled repaints: a script that
// plays a row each millisecond would otherwise have them redo their work for every row.
class DeferredUpdate {
public:
    static constexpr int DefaultIntervalMilliseconds = 40;

    explicit DeferredUpdate(std::function<void()> update, int intervalMilliseconds = DefaultIntervalMilliseconds);

    void request();
    // Ending the deferral runs a pending update.
    void setDeferred(bool deferred);
    bool isDeferred() const { return deferred_; }
    // Runs a pending update now: before the user acts on what the view shows.
    void flush();

private:
    std::function<void()> update_;
    QTimer interval_;
    bool deferred_ = false;
    bool pending_ = false;
};
