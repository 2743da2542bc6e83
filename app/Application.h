#pragma once

#include "port/Port.h"
#include "ui/About.h"
#include "ui/Main.h"
#include "ui/TestPanel.h"

class QApplication;

// The settings of the platform, made before the application object exists.
void preparePlatform();

// The start-up steps before the windows are created: title, names, fonts.
void prepareApplication(QApplication& application);

// The port and the program's three windows, created in this order and destroyed in the reverse one,
// without running any close handler.
struct ProgramWindows {
    ProgramWindows();

    Port port;
    TWin2kAppForm main{port};
    TAboutBox about{&main};
    TForm1 testPanel{port, main.log()};

    // Shows the main window centred on its screen.
    void showMain();
};
