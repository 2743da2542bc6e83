#include "ui/ScreenCentre.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

QMargins frameMargins(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void placeCentred(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QMargins margins = frameMargins(window);
    const QSize frame = window.size().grownBy(margins);
    const QRect area = screen->availableGeometry();
    const QPoint client = area.topLeft() + QPoint((area.width() - frame.width()) / 2 + margins.left(),
                                                  (area.height() - frame.height()) / 2 + margins.top());
    // move() takes the frame's corner as Qt knows the frame, which may lag behind the window manager.
    window.move(client - (window.geometry().topLeft() - window.pos()));
}

// Follows one window from its centring until it stands in its frame, re-centring it on every change of its
// frame's size. The frame's extents arrive without an event of their own, so they are also looked at on a
// short timer.
class FrameCentring : public QObject {
public:
    explicit FrameCentring(QWidget& window) : QObject(&window), window_(window)
    {
        setObjectName(QStringLiteral("FrameCentring"));
        window_.installEventFilter(this);
        poll_.setInterval(PollInterval);
        connect(&poll_, &QTimer::timeout, this, [this] { follow(); });
        poll_.start();
        recentre();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &window_) {
            switch (event->type()) {
            case QEvent::Hide:
                finish();
                break;
            case QEvent::Show:
            case QEvent::Resize:
            case QEvent::Move:
                // After the widget's own handling, which may still resize it (a message box does).
                QTimer::singleShot(0, this, [this] { follow(); });
                break;
            default:
                break;
            }
        }
        return false;
    }

private:
    static constexpr int PollInterval = 25;
    // How long an exposed window may wait for its frame before it is taken to have none.
    static constexpr int FrameWait = 1000;

    void recentre()
    {
        placeCentred(window_);
        placedFrame_ = window_.size().grownBy(frameMargins(window_));
    }

    void follow()
    {
        const QWindow* handle = window_.windowHandle();
        if (!window_.isVisible() || !handle)
            return;
        if (window_.size().grownBy(frameMargins(window_)) != placedFrame_)
            recentre();
        if (!handle->isExposed())
            return;
        if (!seen_) {
            seen_ = true;
            exposedFor_.start();
        }
        if (!frameMargins(window_).isNull() || exposedFor_.elapsed() >= FrameWait)
            finish();
    }

    void finish()
    {
        window_.removeEventFilter(this);
        poll_.stop();
        deleteLater();
    }

    QWidget& window_;
    QTimer poll_;
    QElapsedTimer exposedFor_;
    QSize placedFrame_;
    bool seen_ = false;
};

}  // namespace

void centreOnScreen(QWidget& window)
{
    Q_ASSERT(window.isWindow());
    delete window.findChild<QObject*>(QStringLiteral("FrameCentring"), Qt::FindDirectChildrenOnly);
    new FrameCentring(window);
}
