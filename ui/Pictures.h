#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;

// The program's pictures, drawn in code. Each is drawn pixel by pixel at its own size; on a scaled screen
// atRatio and sharpIcon give it at the device's resolution.
namespace pictures {

// 32 x 32: a D-shaped connector with two rows of red pins on blue in a yellow shell, its cable leaving
// to the upper right, on black. The program icon and the driver button show it.
QPixmap connector();
// 32 x 32: a row of six red lamps on black.
QPixmap lamps();
// The picture with its black background made transparent, as the toolbar buttons draw it.
QPixmap withoutBlack(const QPixmap& picture);

// The picture for a device with the given number of device pixels per logical pixel, at the same logical
// size: at whole ratios each pixel is repeated exactly; between them the next whole ratio is smoothed down.
QPixmap atRatio(const QPixmap& picture, qreal ratio);
// An icon that offers the picture at 1, 2 and 3 device pixels per pixel, each pixel repeated exactly; the same
// for its own disabled look where it has one.
QIcon sharpIcon(const QPixmap& picture, const QPixmap& disabled = {});

// The program icon: the connector on a transparent background, in the middle of its square. At 32 pixels it
// is the connector picture itself; other sizes draw the same shapes smoothly at their scale.
QImage programIconImage(int size);
// The same drawing on any painter, in a 32 x 32 frame: what the scalable icon file is written from.
void paintProgramIcon(QPainter& painter);
// The sizes of the installed icon files; the window icon offers them all.
inline constexpr int ProgramIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
QIcon programIcon();
// 16 x 16 pictures on a transparent background.
QPixmap floppyDisk();
QPixmap playTriangle();
QPixmap stopSquare();
QPixmap noEntryOverExclamation();
QPixmap insertCommand();
QPixmap deleteCommand();
QPixmap wasteBin();
// The Test Panel's own icon: a blue connector shell with a yellow outline, red pins, a yellow cable.
QIcon testPanelIcon();

}  // namespace pictures
