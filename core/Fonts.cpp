#include "core/Fonts.h"

#include <QDir>
#include <QFontDatabase>

namespace {

QFont namedFont(const QString& family, int pointSize, bool bold)
{
    // The family keeps its own name, also where it is drawn with a substitute, so saved documents name it.
    QFont font(family, pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace

void registerProgramFonts()
{
    const QDir wineFonts(QStringLiteral("/usr/share/wine/fonts"));
    for (const QString& name : wineFonts.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.TTF")}, QDir::Files))
        QFontDatabase::addApplicationFont(wineFonts.filePath(name));
    for (const QString& family : {QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif")}) {
        if (!QFontDatabase::hasFamily(family))
            QFont::insertSubstitution(family, QStringLiteral("DejaVu Sans"));
    }
}

QFont tahomaFont(int pointSize, bool bold)
{
    return namedFont(QStringLiteral("Tahoma"), pointSize, bold);
}

QFont msSansSerifFont(int pointSize, bool bold)
{
    return namedFont(QStringLiteral("MS Sans Serif"), pointSize, bold);
}
