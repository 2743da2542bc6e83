#pragma once

#include <QFont>

// Makes the Windows-named faces of Debian's fonts-wine known to Qt; they live outside fontconfig's path.
void registerProgramFonts();

// The outline face drawn where a face of the program has no outlines of its own, or no true bold: DejaVu Sans
// Condensed. At 8 points its text is 13 pixels high, like the bitmap dialog face's, its letters about as wide,
// and its cut is Tahoma's (a narrowed Verdana).
inline constexpr const char* OutlineFace = "DejaVu Sans Condensed";

// "Tahoma" at the given size. Bold is drawn with the outline face: the Tahoma of fonts-wine has a bold file
// whose strokes are no thicker than the regular ones.
QFont tahomaFont(int pointSize, bool bold = false);
// The 8-point dialog face "MS Sans Serif". It is a bitmap face with cuts of 13, 16 and 20 pixels, which only
// screens at the normal scale show as drawn; on a scaled screen it would keep its 1x letters spread out to the
// scaled advances, so the outline face stands in there.
QFont msSansSerifFont(int pointSize, bool bold = false);
// True while every screen shows one device pixel per logical pixel.
bool screensAtNormalScale();
