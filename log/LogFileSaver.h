#pragma once

#include "log/RtfWriter.h"

#include <QString>
#include <functional>

class QTextDocument;

// Saves the log document as an RTF file: Save writes to the remembered path, Save As asks for a path and
// for leave to replace an existing file. Failures are thrown; nothing is remembered unless the write
// succeeded.
class LogFileSaver {
public:
    // Asks for the path to save to, starting from the given name. The path returned is final (the default
    // extension applied); an empty one means the user cancelled.
    using PathQuestion = std::function<QString(const QString& initialName)>;
    // Asks whether the existing file of that path may be replaced.
    using OverwriteQuestion = std::function<bool(const QString& path)>;

    LogFileSaver(QTextDocument& log, RtfDefaults defaults, PathQuestion askPath,
                 OverwriteQuestion confirmOverwrite);

    void save();
    void saveAs();
    // Writes the log as it stands now, replacing the old file only by a complete new one wherever that
    // can be done (see LogFileOutput).
    void WriteLogFile(const QString& path);

    // The path of the last successful Save As; empty until then.
    const QString& fileName() const { return FileName; }

private:
    QTextDocument& log_;
    RtfDefaults defaults_;
    PathQuestion askPath_;
    OverwriteQuestion confirmOverwrite_;
    QString FileName;
};
