#include "ui/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace pictures {

namespace {

QPixmap blank(int size, const QColor& fill = Qt::transparent)
{
    QPixmap pixmap(size, size);
    pixmap.fill(fill);
    return pixmap;
}

// A D-shaped shell: wider at the top than at the bottom.
QPainterPath dShell(const QRectF& box)
{
    const qreal slant = box.height() * 0.35;
    QPainterPath path;
    path.moveTo(box.topLeft());
    path.lineTo(box.topRight());
    path.lineTo(box.right() - slant, box.bottom());
    path.lineTo(box.left() + slant, box.bottom());
    path.closeSubpath();
    return path;
}

// In a 32 x 32 frame. Smooth drawing is for other sizes than the frame's own.
void drawConnector(QPainter& painter, const QColor& shell, const QColor& body, const QColor& cable, bool smooth)
{
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setPen(QPen(cable, 3, Qt::SolidLine, smooth ? Qt::RoundCap : Qt::SquareCap));
    painter.drawLine(QPointF(22, 8), QPointF(30, 1));
    painter.setPen(QPen(shell, 2, Qt::SolidLine, Qt::SquareCap, smooth ? Qt::RoundJoin : Qt::MiterJoin));
    painter.setBrush(body);
    painter.drawPath(dShell(QRectF(2, 8, 27, 13)));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 0, 0));
    for (int pin = 0; pin < 6; ++pin)
        painter.drawRect(QRectF(6 + 4 * pin, 11, 2, 2));
    for (int pin = 0; pin < 5; ++pin)
        painter.drawRect(QRectF(8 + 4 * pin, 16, 2, 2));
}

const QColor ConnectorShell(255, 255, 0);
const QColor ConnectorBody(0, 0, 255);
const QColor ConnectorCable(128, 128, 128);
// The connector fills the picture's top 23 rows; the icon stands it in the middle of its square.
constexpr int IconDrop = 5;

}  // namespace

QPixmap connector()
{
    QPixmap pixmap = blank(32, Qt::black);
    QPainter painter(&pixmap);
    drawConnector(painter, ConnectorShell, ConnectorBody, ConnectorCable, false);
    return pixmap;
}

void paintProgramIcon(QPainter& painter)
{
    painter.translate(0, IconDrop);
    drawConnector(painter, ConnectorShell, ConnectorBody, ConnectorCable, true);
}

QImage programIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (size == 32) {
        painter.drawPixmap(0, IconDrop, withoutBlack(connector()));
    } else {
        painter.scale(size / 32.0, size / 32.0);
        paintProgramIcon(painter);
    }
    painter.end();
    return image;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : ProgramIconSizes)
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}

QPixmap lamps()
{
    QPixmap pixmap = blank(32, Qt::black);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(128, 0, 0), 1));
    painter.setBrush(QColor(255, 0, 0));
    for (int lamp = 0; lamp < 6; ++lamp)
        painter.drawEllipse(QRectF(1 + 5 * lamp, 13, 4, 6));
    return pixmap;
}

QPixmap withoutBlack(const QPixmap& picture)
{
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == qRgb(0, 0, 0))
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(image);
}

QPixmap atRatio(const QPixmap& picture, qreal ratio)
{
    Q_ASSERT(ratio > 0);
    const int whole = qMax(1, qCeil(ratio - 0.001));
    const QSize logical = picture.deviceIndependentSize().toSize();
    QPixmap sharp = picture.scaled(logical * whole, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QSize device = (QSizeF(logical) * ratio).toSize();
    if (sharp.size() != device)
        sharp = sharp.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    sharp.setDevicePixelRatio(ratio);
    return sharp;
}

QIcon sharpIcon(const QPixmap& picture, const QPixmap& disabled)
{
    QIcon icon;
    for (int ratio : {1, 2, 3}) {
        icon.addPixmap(atRatio(picture, ratio));
        if (!disabled.isNull())
            icon.addPixmap(atRatio(disabled, ratio), QIcon::Disabled);
    }
    return icon;
}

QPixmap floppyDisk()
{
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRect(1, 1, 13, 13);
    painter.setBrush(Qt::white);
    painter.drawRect(3, 1, 9, 6);
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRect(4, 10, 7, 4);
    painter.fillRect(5, 11, 2, 2, QColor(0, 0, 128));
    return pixmap;
}

QPixmap playTriangle()
{
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(13, 8), QPointF(4, 14)}));
    return pixmap;
}

QPixmap stopSquare()
{
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    painter.fillRect(3, 3, 10, 10, Qt::black);
    return pixmap;
}

QPixmap noEntryOverExclamation()
{
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(7, 2, 2, 8, Qt::black);
    painter.fillRect(7, 12, 2, 2, Qt::black);
    painter.setPen(QPen(QColor(255, 0, 0), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    return pixmap;
}

namespace {

QPixmap arrowAtColumn(bool pointingRight)
{
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    for (int y = 1; y < 15; y += 2)
        painter.fillRect(11, y, 2, 1, Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 255));
    const QPolygonF right({QPointF(1, 6), QPointF(6, 6), QPointF(6, 3), QPointF(10, 8), QPointF(6, 13),
                           QPointF(6, 10), QPointF(1, 10)});
    const QPolygonF left({QPointF(10, 6), QPointF(5, 6), QPointF(5, 3), QPointF(1, 8), QPointF(5, 13),
                          QPointF(5, 10), QPointF(10, 10)});
    painter.drawPolygon(pointingRight ? right : left);
    painter.setBrush(QColor(255, 0, 0));
    painter.drawRect(QRectF(2, 1, 5, 1.5));
    if (pointingRight)
        painter.drawRect(QRectF(3.75, -0.75, 1.5, 5));
    return pixmap;
}

}  // namespace

QPixmap insertCommand()
{
    return arrowAtColumn(true);
}

QPixmap deleteCommand()
{
    return arrowAtColumn(false);
}

QPixmap wasteBin()
{
    QPixmap pixmap = blank(16);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(160, 160, 160));
    painter.drawRect(3, 4, 9, 10);
    painter.drawLine(2, 3, 13, 3);
    painter.drawLine(6, 1, 9, 1);
    for (int x = 5; x <= 10; x += 2)
        painter.drawLine(x, 6, x, 12);
    return pixmap;
}

QIcon testPanelIcon()
{
    QPixmap pixmap = blank(32);
    QPainter painter(&pixmap);
    drawConnector(painter, ConnectorShell, ConnectorBody, ConnectorShell, false);
    return sharpIcon(pixmap);
}

}  // namespace pictures
