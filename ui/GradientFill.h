#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

// a * b / c rounded to the nearest integer, halves away from zero.
int mulDiv(int a, int b, int c);

struct GradientBand {
    QColor colour;
    int firstRow;  // from the area's top edge
    int endRow;    // one past the band's last row
};

// A vertical two-colour gradient of `bands` horizontal bands over an area `height` rows high: band i has
// start + MulDiv(i, end - start, bands - 1) for each component and covers rows
// MulDiv(i, height, bands) up to MulDiv(i + 1, height, bands).
std::vector<GradientBand> verticalGradient(const QColor& top, const QColor& bottom, int bands, int height);

// Paints its whole area with such a gradient, below its children.
class GradientFill : public QWidget {
    Q_OBJECT
public:
    GradientFill(const QColor& top, const QColor& bottom, int bands, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor top_;
    QColor bottom_;
    int bands_;
};
