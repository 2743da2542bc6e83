#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code.
namespace pictures {

// 32 x 32: a D-shaped connector with two rows of red pins on blue in a yellow shell, its cable leaving
// to the upper right, on black. The program icon and the driver button show it.
QPixmap connector();
QIcon programIcon();
// 32 x 32: a row of six red lamps on black.
QPixmap lamps();
// The picture with its black background made transparent, as the toolbar buttons draw it.
QPixmap withoutBlack(const QPixmap& picture);
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
