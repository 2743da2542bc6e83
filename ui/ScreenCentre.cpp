#include "ui/ScreenCentre.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <optional>

namespace {

QMargins frameMargins(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// Where the window's client area stands when the window, frame included, is centred on its screen.
std::optional<QPoint> centredClientCorner(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    const QMargins margins = frameMargins(window);
    const QSize frame = window.size().grownBy(margins);
    const QRect area = screen->availableGeometry();
    return area.topLeft() + QPoint((area.width() - frame.width()) / 2 + margins.left(),
                                   (area.height() - frame.height()) / 2 + margins.top());
}

// Follows one window from its centring until it stands in its frame, centring it again whenever it is not
// centred with the frame it has now: the frame's extents arrive without an event of their own (so they are
// also looked at on a short timer), and the window manager may still place the window by its own rules
// while it frames it.
class FrameCentring : public QObject {
public:
    explicit FrameCentring(QWidget& window) : QObject(&window), window_(window)
    {
        setObjectName(QStringLiteral("FrameCentring"));
        window_.installEventFilter(this);
        poll_.setInterval(PollInterval);
        connect(&poll_, &QTimer::timeout, this, [this] { follow(); });
        poll_.start();
        centre();
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
    // How long a framed window is kept centred while the window manager settles it.
    static constexpr int FramedWait = 300;

    void centre()
    {
        const std::optional<QPoint> corner = centredClientCorner(window_);
        if (corner && *corner != window_.geometry().topLeft()) {
            // move() takes the frame's corner as Qt knows the frame, which may lag behind the window manager.
            window_.move(*corner - (window_.geometry().topLeft() - window_.pos()));
        }
    }

    void follow()
    {
        if (done_)
            return;
        const QWindow* handle = window_.windowHandle();
        if (!window_.isVisible() || !handle)
            return;
        centre();
        if (!handle->isExposed())
            return;
        if (!exposedFor_.isValid())
            exposedFor_.start();
        if (!framedFor_.isValid() && !frameMargins(window_).isNull())
            framedFor_.start();
        if ((framedFor_.isValid() && framedFor_.elapsed() >= FramedWait) ||
            (!framedFor_.isValid() && exposedFor_.elapsed() >= FrameWait))
            finish();
    }

    void finish()
    {
        done_ = true;
        window_.removeEventFilter(this);
        poll_.stop();
        deleteLater();
    }

    QWidget& window_;
    QTimer poll_;
    QElapsedTimer exposedFor_;
    QElapsedTimer framedFor_;
    bool done_ = false;
};

}  // namespace

void centreOnScreen(QWidget& window)
{
    Q_ASSERT(window.isWindow());
    delete window.findChild<QObject*>(QStringLiteral("FrameCentring"), Qt::FindDirectChildrenOnly);
    new FrameCentring(window);
}
