#include "app/Application.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    prepareApplication(application);
    ProgramWindows windows;
    windows.showMain();
    return application.exec();
}
