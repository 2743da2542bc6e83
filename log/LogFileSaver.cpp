#include "log/LogFileSaver.h"

#include "core/Failure.h"
#include "log/LogFileOutput.h"

#include <QFileInfo>
#include <QTextDocument>

LogFileSaver::LogFileSaver(QTextDocument& log, RtfDefaults defaults, PathQuestion askPath,
                           OverwriteQuestion confirmOverwrite)
    : log_(log),
      defaults_(std::move(defaults)),
      askPath_(std::move(askPath)),
      confirmOverwrite_(std::move(confirmOverwrite))
{
    Q_ASSERT(askPath_ && confirmOverwrite_);
}

void LogFileSaver::save()
{
    if (FileName.isEmpty()) {
        saveAs();
        return;
    }
    WriteLogFile(FileName);
    log_.setModified(false);
}

void LogFileSaver::saveAs()
{
    const QString path = askPath_(FileName);
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) && !confirmOverwrite_(path))
        return;
    WriteLogFile(path);
    FileName = path;
    log_.setModified(false);
}

void LogFileSaver::WriteLogFile(const QString& path)
{
    LogFileOutput file(path);
    // Taken only now: lines appended while the questions were open belong in the file.
    if (!file.write(writeRtf(log_, defaults_)))
        throw Failure(QStringLiteral("Failed to Save Stream"));
}
