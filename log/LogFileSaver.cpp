#include "log/LogFileSaver.h"

#include "core/Failure.h"
#include "log/LogFileOutput.h"
#include "ui/ScreenCentre.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
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

namespace {

// Icons and types from the file's name alone. Telling them from the content would open the file, and
// opening or reading some files waits, for ever in the case of /proc/kmsg, while the dialog lists them.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    QIcon icon(const QFileInfo& info) const override
    {
        if (!info.isFile())
            return QFileIconProvider::icon(info.isDir() ? Folder : File);
        const QMimeType type = typeByName(info);
        const QIcon themed = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
        return themed.isNull() ? QFileIconProvider::icon(File) : themed;
    }

    QString type(const QFileInfo& info) const override
    {
        if (!info.isFile())
            return QFileIconProvider::type(info);
        const QMimeType type = typeByName(info);
        return type.comment().isEmpty() ? type.name() : type.comment();
    }

private:
    QMimeType typeByName(const QFileInfo& info) const
    {
        return mimeTypes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }

    QMimeDatabase mimeTypes_;
};

}  // namespace

QString askLogFilePath(QWidget* parent, const QString& initialName)
{
    // Outlives the dialog, whose file system model uses it until the end.
    NameOnlyIconProvider iconProvider;
    QFileDialog dialog(parent);
    dialog.setIconProvider(&iconProvider);
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
