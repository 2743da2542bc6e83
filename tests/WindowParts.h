#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// A window's component, found by the name the program gives it; a missing one ends the test run, since
// every later step would only fail on it.
template <typename Part>
Part* part(const QObject& window, const QString& name)
{
    Part* found = window.findChild<Part*>(name);
    if (!found)
        qFatal("%s has no component %s", qPrintable(window.objectName()), qPrintable(name));
    return found;
}
