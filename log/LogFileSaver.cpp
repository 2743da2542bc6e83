#include "log/LogFileSaver.h"

#include "core/Failure.h"
#include "core/FileDialog.h"
#include "log/LogFileOutput.h"
#include "ui/ScreenCentre.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>

LogFileSaver::LogFileSaver(QTextDocument& log, RtfDefaults defaults, PathQuestion askPath,
                           OverwriteQuestion confirmOverwrite)
    : log_(log),
      defaults_(std::move(defaults)),
      askPath_(std::move(askPath)),
      confirmOverwrite_(std::move(confirmOverwrite))
{
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

RtfDefaults paneRtfDefaults(const QTextEdit& pane)
{
    return {pane.document()->defaultFont(), pane.palette().color(QPalette::Text),
            pane.palette().color(QPalette::Base)};
}

QString askLogFilePath(QWidget* parent, const QString& initialName)
{
    return askFilePath(parent, {QStringLiteral("SaveDialog"), QFileDialog::AcceptSave, {QStringLiteral("All Files (*.*)")},
                                QStringLiteral("rtf")},
                       initialName);
}

bool confirmLogOverwrite(const QString& path)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), QStringLiteral("OK to overwrite %1").arg(path));
    box.setObjectName(QStringLiteral("ConfirmOverwrite"));
    // One role for all three keeps them in this order whatever the platform's button layout.
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::ActionRole);
    box.addButton(QStringLiteral("&No"), QMessageBox::ActionRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::ActionRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    centreOnScreen(box);
    box.exec();
    return box.clickedButton() == yes;
}
