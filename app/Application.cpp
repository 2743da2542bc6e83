#include "app/Application.h"

#include "core/Fonts.h"
#include "ui/Pictures.h"
#include "ui/ScreenCentre.h"

#include <QApplication>

void preparePlatform()
{
    // A playing script has the window repaint 25 times a second, a few small regions each time. Through
    // X shared memory every repaint first waits for a round trip to the X server, so that it has finished
    // reading the last picture; on a busy machine that wait alone can outlast the gap between two rows.
    // Sending regions this small with the request costs less. A setting of the user's own is kept.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
}

void prepareApplication(QApplication& application)
{
    // The application title. No display name: the platform would append it to every window's caption.
    QApplication::setApplicationName(QStringLiteral("Quillet2005"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillet2005"));
    registerProgramFonts();
    // The layout is designed around the 8-point dialog face.
    QApplication::setFont(msSansSerifFont(8));
    QApplication::setWindowIcon(pictures::programIcon());
    application.setQuitOnLastWindowClosed(false);
}

ProgramWindows::ProgramWindows()
{
    main.setSecondaryWindows(about, testPanel);
}

void ProgramWindows::showMain()
{
    main.show();
    centreOnScreen(main);
}
