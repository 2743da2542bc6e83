#pragma once

#include <QFileDialog>
#include <QString>

// The dialog that picks a script file, modal to the application: filters "Script files (*.csv)" and
// "All Files (*.*)", default extension csv, opened on initialName; saving asks nothing about an existing
// file itself. Returns the chosen full path, or an empty one when the user cancelled.
QString askScriptFilePath(QWidget* parent, const QString& initialName, QFileDialog::AcceptMode mode);
