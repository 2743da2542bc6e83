#include "ui/PictureWidgets.h"

#include "ui/Pictures.h"

#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

PictureButton::PictureButton(const QString& name, const QPixmap& picture, QWidget* parent)
    : QToolButton(parent), pictureSize_(picture.deviceIndependentSize().toSize())
{
    setObjectName(name);
    setIcon(pictures::sharpIcon(picture));
    setIconSize(pictureSize_);
    setAutoRaise(true);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The style draws the button without its picture, which would be shrunk to the button.
    option.icon = QIcon();
    option.text.clear();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);

    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap picture = icon().pixmap(pictureSize_, devicePixelRatioF(), mode);
    const QPoint corner((width() - pictureSize_.width()) / 2, (height() - pictureSize_.height()) / 2);
    painter.setClipRect(rect());
    painter.drawPixmap(corner, picture);
}

PictureLabel::PictureLabel(const QString& name, const QPixmap& picture, QWidget* parent)
    : QLabel(parent), picture_(picture)
{
    setObjectName(name);
}

void PictureLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setClipRect(rect());
    painter.drawPixmap(0, 0, pictures::atRatio(picture_, devicePixelRatioF()));
}
