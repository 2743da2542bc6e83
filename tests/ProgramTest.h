#pragma once

#include "app/Application.h"

#include <QApplication>
#include <QStandardPaths>

// The program's start-up steps, with every file it keeps (the script database) in QStandardPaths' test
// locations, away from the user's own; given a name, in a folder of the caller's own.
inline void prepareApplicationForTest(const QString& ownFolderName = QString())
{
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication(*qApp);
    if (!ownFolderName.isEmpty())
        QCoreApplication::setApplicationName(ownFolderName);
}
