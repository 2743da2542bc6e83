#pragma once

#include <QLabel>
#include <QToolButton>

// A flat push button that draws its 32 x 32 picture unscaled, centred on the button and cut to it, where a
// tool button would shrink it to fit. The picture comes at the device's resolution.
class PictureButton : public QToolButton {
public:
    PictureButton(const QString& name, const QPixmap& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize pictureSize_;
};

// A picture drawn unscaled from its top-left corner and cut to the label, at the device's resolution.
class PictureLabel : public QLabel {
public:
    PictureLabel(const QString& name, const QPixmap& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
