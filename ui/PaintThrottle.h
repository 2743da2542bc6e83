#pragma once

#include <QObject>

class QWidget;

// While active, holds a window's repaints back until they are released: a script that plays a row every
// millisecond would otherwise spend most of its time repainting the log and the grid.
class PaintThrottle : public QObject {
public:
    explicit PaintThrottle(QWidget& window);

    // Switching off paints what is still pending at once.
    void setActive(bool active);
    bool isActive() const { return active_; }
    // Paints what changed since the last release, now.
    void releasePendingPaint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    bool active_ = false;
    bool pending_ = false;
    bool releasing_ = false;
};
