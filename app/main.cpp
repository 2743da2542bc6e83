#include "app/Application.h"
#include "ui/HintDisplay.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    preparePlatform();
    QApplication application(argc, argv);
    prepareApplication(application);
    ProgramWindows windows;
    HintDisplay hints(windows.main);
    windows.showMain();
    return application.exec();
}
