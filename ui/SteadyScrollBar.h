#pragma once

#include <QPixmap>
#include <QScrollBar>
#include <QStyleOptionSlider>

// A scroll bar that draws itself through the style again only when what it shows has changed, and
// otherwise copies its last picture. A view repaints its scroll bars with every change of its contents,
// every frame of a playing script; drawing one through the style costs up to half a millisecond, as much
// as the text beside it, while copying the picture costs a few microseconds. While the pointer is over the
// bar or a button is held on it, the bar draws itself as always.
class SteadyScrollBar : public QScrollBar {
public:
    explicit SteadyScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool looksAsDrawn(const QStyleOptionSlider& option) const;
    void drawPicture(const QStyleOptionSlider& option);

    QStyleOptionSlider drawnOption_;
    QPixmap picture_;
    bool pressed_ = false;
};
