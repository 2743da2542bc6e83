#pragma once

#include <QFont>

// Makes the Windows-named faces of Debian's fonts-wine known to Qt; they live outside fontconfig's path.
void registerProgramFonts();

// "Tahoma" at the given size, drawn with DejaVu Sans where no Tahoma is installed.
QFont tahomaFont(int pointSize, bool bold = false);
// "MS Sans Serif" at the given size, drawn with DejaVu Sans where it is missing.
QFont msSansSerifFont(int pointSize, bool bold = false);
