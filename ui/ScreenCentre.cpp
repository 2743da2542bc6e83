#include "ui/ScreenCentre.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window.move(screen->availableGeometry().center() - window.frameGeometry().center() + window.pos());
}
