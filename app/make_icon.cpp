#include "ui/Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace {

bool writeScalable(const QString& path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(32, 32));
    svg.setViewBox(QRect(0, 0, 32, 32));
    svg.setTitle(QStringLiteral("Quillet 2005"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    pictures::paintProgramIcon(painter);
    return painter.end();
}

}  // namespace

// Build step: writes the program icon for the desktop into a folder, as quillet2005.svg and as
// quillet2005-N.png for each installed size N.
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2)
        return 2;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")) || !writeScalable(folder.filePath(QStringLiteral("quillet2005.svg"))))
        return 1;
    for (int size : pictures::ProgramIconSizes) {
        const QString name = QStringLiteral("quillet2005-%1.png").arg(size);
        if (!pictures::programIconImage(size).save(folder.filePath(name), "PNG"))
            return 1;
    }
    return 0;
}
