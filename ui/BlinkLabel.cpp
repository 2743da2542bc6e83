#include "ui/BlinkLabel.h"

BlinkLabel::BlinkLabel(const QString& text, QColor fontColour, QColor blinkColour, QWidget* parent)
    : QLabel(text, parent), fontColour_(fontColour), blinkColour_(blinkColour)
{
    phaseTimer_.setInterval(700);
    phaseTimer_.setTimerType(Qt::PreciseTimer);
    connect(&phaseTimer_, &QTimer::timeout, this, [this] { showColour(!showingBlinkColour_); });
    showColour(false);
}

void BlinkLabel::setBlinking(bool on)
{
    if (on == phaseTimer_.isActive())
        return;
    if (on) {
        showColour(false);
        phaseTimer_.start();
    } else {
        phaseTimer_.stop();
        showColour(false);
    }
}

void BlinkLabel::showColour(bool blinkColour)
{
    showingBlinkColour_ = blinkColour;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, currentColour());
    setPalette(colours);
}
