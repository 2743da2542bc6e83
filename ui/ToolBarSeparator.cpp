#include "ui/ToolBarSeparator.h"

#include <QPainter>

ToolBarSeparator::ToolBarSeparator(const QString& name, int width, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
    setFixedWidth(width);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void ToolBarSeparator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int middle = width() / 2;
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(middle - 1, 2, middle - 1, height() - 3);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(middle, 2, middle, height() - 3);
}
