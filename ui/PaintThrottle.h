#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

// While active, coalesces a window's repaints to at most one per interval: a script that plays a row
// every millisecond would otherwise spend most of its time repainting the log and the grid.
class PaintThrottle : public QObject {
public:
    PaintThrottle(QWidget& window, int intervalMilliseconds);

    // Switching off paints what is still pending at once.
    void setActive(bool active);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void releasePendingPaint();

    QWidget& window_;
    QTimer interval_;
    bool active_ = false;
    bool pending_ = false;
    bool releasing_ = false;
};
