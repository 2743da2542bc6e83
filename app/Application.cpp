#include "app/Application.h"

#include "core/Fonts.h"
#include "ui/Pictures.h"
#include "ui/ScreenCentre.h"

#include <QApplication>

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
