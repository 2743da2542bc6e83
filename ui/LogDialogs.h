#pragma once

#include "log/RtfWriter.h"

#include <QString>

class QTextEdit;
class QWidget;

// The pane's look as the RTF records it: its document's default font, its text and background colours.
RtfDefaults paneRtfDefaults(const QTextEdit& pane);

// The save dialog of the log, modal to the application: one filter "All Files (*.*)", default
// extension rtf, opened on initialName, no overwrite warning of its own.
QString askLogFilePath(QWidget* parent, const QString& initialName);

// "OK to overwrite <path>" with Yes (default), No and Cancel (Esc, close box), centred on the screen.
// True only for Yes.
bool confirmLogOverwrite(const QString& path);
