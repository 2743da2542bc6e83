#include "ui/SteadyScrollBar.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

SteadyScrollBar::SteadyScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

bool SteadyScrollBar::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        pressed_ = true;
        break;
    case QEvent::MouseButtonRelease:
        pressed_ = false;
        break;
    case QEvent::StyleChange:
    case QEvent::PaletteChange:
        picture_ = QPixmap();
        break;
    default:
        break;
    }
    return QScrollBar::event(event);
}

void SteadyScrollBar::paintEvent(QPaintEvent* event)
{
    // Which part the pointer is on or holds down is known to the bar alone.
    if (underMouse() || pressed_) {
        QScrollBar::paintEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    // As the bar draws itself with no part hovered or pressed.
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    if (!looksAsDrawn(option))
        drawPicture(option);
    QPainter(this).drawPixmap(0, 0, picture_);
}

bool SteadyScrollBar::looksAsDrawn(const QStyleOptionSlider& option) const
{
    const QStyleOptionSlider& drawn = drawnOption_;
    return !picture_.isNull() && picture_.devicePixelRatio() == devicePixelRatio() && drawn.rect == option.rect &&
           drawn.state == option.state && drawn.direction == option.direction && drawn.minimum == option.minimum &&
           drawn.maximum == option.maximum && drawn.sliderPosition == option.sliderPosition &&
           drawn.sliderValue == option.sliderValue && drawn.pageStep == option.pageStep &&
           drawn.singleStep == option.singleStep && drawn.orientation == option.orientation &&
           drawn.upsideDown == option.upsideDown;
}

void SteadyScrollBar::drawPicture(const QStyleOptionSlider& option)
{
    const qreal ratio = devicePixelRatio();
    QImage picture(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // Qt's raster engine hands each fill of 96 rows or more (a gradient down a vertical bar) to its thread
    // pool, and on a machine with few cores waking the pool costs ten times the fill itself. Drawn in bands
    // of fewer rows, each on an image of its own that bounds what the style can reach, every fill stays on
    // this thread; shifted by whole pixels, the bands add up to the very picture drawn at once.
    constexpr int BandRows = 64;
    for (int top = 0; top < picture.height(); top += BandRows) {
        QImage band(picture.width(), qMin(BandRows, picture.height() - top), QImage::Format_ARGB32_Premultiplied);
        band.setDevicePixelRatio(ratio);
        // Transparent where the style leaves the parent's background showing.
        band.fill(Qt::transparent);
        QPainter bandPainter(&band);
        bandPainter.translate(0, -top / ratio);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &bandPainter, this);
        bandPainter.end();
        painter.drawImage(QPointF(0, top / ratio), band);
    }
    painter.end();
    picture_ = QPixmap::fromImage(std::move(picture));
    drawnOption_ = option;
}
