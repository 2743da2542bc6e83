#pragma once

#include <QLabel>
#include <QTimer>

// A label whose text alternates between its font colour and its blink colour, 700 ms each phase.
class BlinkLabel : public QLabel {
    Q_OBJECT
public:
    BlinkLabel(const QString& text, QColor fontColour, QColor blinkColour, QWidget* parent = nullptr);

    // Switching on while on changes nothing and does not restart the phase.
    void setBlinking(bool on);
    bool isBlinking() const { return phaseTimer_.isActive(); }
    QColor currentColour() const { return showingBlinkColour_ ? blinkColour_ : fontColour_; }

private:
    void showColour(bool blinkColour);

    QColor fontColour_;
    QColor blinkColour_;
    bool showingBlinkColour_ = false;
    QTimer phaseTimer_;
};
