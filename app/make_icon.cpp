#include "ui/Pictures.h"

#include <QGuiApplication>
#include <QImage>

// Build step: writes the program icon as a PNG for the desktop entry.
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2)
        return 2;
    return pictures::connector().toImage().save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
