#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

// How one of the program's file dialogs is set up.
struct FileDialogSettings {
    QString objectName;
    QFileDialog::AcceptMode mode;
    QStringList filters;
    // Added, with a dot, to a name typed without an extension.
    QString defaultSuffix;
};

// A file dialog modal to the application, resizable, opened on initialName (its folder and name). Saving
// asks nothing about an existing file itself: the callers ask their own question. Returns the chosen full
// path, or an empty one when the user cancelled.
QString askFilePath(QWidget* parent, const FileDialogSettings& settings, const QString& initialName);
