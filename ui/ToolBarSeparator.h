#pragma once

#include <QWidget>

// A toolbar gap of a fixed width with an etched line in its middle.
class ToolBarSeparator : public QWidget {
public:
    ToolBarSeparator(const QString& name, int width, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
