#include "core/Fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

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
            QFont::insertSubstitution(family, QString::fromLatin1(OutlineFace));
    }
}

bool screensAtNormalScale()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::all_of(screens.begin(), screens.end(), [](const QScreen* screen) {
        return screen->devicePixelRatio() == 1.0;
    });
}

QFont tahomaFont(int pointSize, bool bold)
{
    return namedFont(bold ? QString::fromLatin1(OutlineFace) : QStringLiteral("Tahoma"), pointSize, bold);
}

QFont msSansSerifFont(int pointSize, bool bold)
{
    const QString family = screensAtNormalScale() ? QStringLiteral("MS Sans Serif") : QString::fromLatin1(OutlineFace);
    return namedFont(family, pointSize, bold);
}
