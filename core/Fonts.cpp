#include "core/Fonts.h"

#include <QDir>
#include <QFontDatabase>

namespace {

QFont fontOrFallback(const QString& family, int pointSize, bool bold)
{
    QFont font(QFontDatabase::hasFamily(family) ? family : QStringLiteral("DejaVu Sans"), pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace

void registerProgramFonts()
{
    const QDir wineFonts(QStringLiteral("/usr/share/wine/fonts"));
    for (const QString& name : wineFonts.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.TTF")}, QDir::Files))
        QFontDatabase::addApplicationFont(wineFonts.filePath(name));
}

QFont tahomaFont(int pointSize, bool bold)
{
    return fontOrFallback(QStringLiteral("Tahoma"), pointSize, bold);
}

QFont msSansSerifFont(int pointSize, bool bold)
{
    return fontOrFallback(QStringLiteral("MS Sans Serif"), pointSize, bold);
}
