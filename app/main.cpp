#include "app/Application.h"
#include "ui/About.h"
#include "ui/Main.h"
#include "ui/TestPanel.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    prepareApplication(application);

    // Created in this order and destroyed in the reverse one, without running any close handler.
    TWin2kAppForm mainWindow;
    TAboutBox aboutBox(&mainWindow);
    TForm1 testPanel(mainWindow.log());

    mainWindow.show();
    if (const QScreen* screen = mainWindow.screen())
        mainWindow.move(screen->availableGeometry().center() - mainWindow.frameGeometry().center()
                        + mainWindow.pos());
    return application.exec();
}
