#include "ui/GradientFill.h"

#include <QPainter>
#include <cstdint>
#include <cstdlib>

int mulDiv(int a, int b, int c)
{
    Q_ASSERT(c != 0);
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t magnitude = (std::llabs(product) * 2 + std::llabs(c)) / (2 * std::llabs(c));
    return static_cast<int>(((product < 0) != (c < 0)) ? -magnitude : magnitude);
}

std::vector<GradientBand> verticalGradient(const QColor& top, const QColor& bottom, int bands, int height)
{
    Q_ASSERT(bands > 0 && height >= 0);
    // A single band has the start colour: there is no step between colours to divide.
    const auto component = [bands](int start, int end, int band) {
        return bands == 1 ? start : start + mulDiv(band, end - start, bands - 1);
    };
    std::vector<GradientBand> result;
    result.reserve(static_cast<std::size_t>(bands));
    for (int band = 0; band < bands; ++band) {
        result.push_back({QColor(component(top.red(), bottom.red(), band),
                                 component(top.green(), bottom.green(), band),
                                 component(top.blue(), bottom.blue(), band)),
                          mulDiv(band, height, bands), mulDiv(band + 1, height, bands)});
    }
    return result;
}

GradientFill::GradientFill(const QColor& top, const QColor& bottom, int bands, QWidget* parent)
    : QWidget(parent), top_(top), bottom_(bottom), bands_(bands)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GradientFill::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (const GradientBand& band : verticalGradient(top_, bottom_, bands_, height()))
        painter.fillRect(0, band.firstRow, width(), band.endRow - band.firstRow, band.colour);
}
