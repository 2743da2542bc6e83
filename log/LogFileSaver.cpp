#include "log/LogFileSaver.h"

#include "core/Failure.h"
#include "ui/ScreenCentre.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// The system's reason why the file cannot be created, without the full stop the error box adds itself.
// QSaveFile words a read-only target its own way; opening the file for appending, which changes
// nothing, gets the system's words for it.
QString creationFailureReason(const QString& path, const QSaveFile& file)
{
    QFile existing(path);
    QString reason = existing.exists() && !existing.open(QIODevice::Append) ? existing.errorString()
                                                                             : file.errorString();
    while (!reason.isEmpty() && (reason.back().isSpace() || reason.back() == u'.'))
        reason.chop(1);
    return reason;
}

}  // namespace

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
    // The new content goes to a file beside the target, which replaces it only when complete.
    QSaveFile file(path);
    // Unbuffered, so that a short write (disk full) shows in write()'s count rather than being lost in a
    // later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Failure(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                               creationFailureReason(path, file)));
    // Taken only now: lines appended while the questions were open belong in the file.
    const QByteArray rtf = writeRtf(log_, defaults_);
    if (file.write(rtf) != rtf.size() || !file.commit())
        throw Failure(QStringLiteral("Failed to Save Stream"));
}

RtfDefaults paneRtfDefaults(const QTextEdit& pane)
{
    return {pane.document()->defaultFont(), pane.palette().color(QPalette::Text),
            pane.palette().color(QPalette::Base)};
}

QString askLogFilePath(QWidget* parent, const QString& initialName)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("All Files (*.*)"));
    dialog.setDefaultSuffix(QStringLiteral("rtf"));
    // Replacing a file is asked by the caller, with its own question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setSizeGripEnabled(true);
    dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
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
