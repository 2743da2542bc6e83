#include "core/FileDialog.h"

#include <QFileIconProvider>
#include <QIcon>
#include <QMimeDatabase>

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

QString askFilePath(QWidget* parent, const FileDialogSettings& settings, const QString& initialName)
{
    const bool saving = settings.mode == QFileDialog::AcceptSave;
    // Outlives the dialog, whose file system model uses it until the end.
    NameOnlyIconProvider iconProvider;
    QFileDialog dialog(parent);
    dialog.setIconProvider(&iconProvider);
    dialog.setObjectName(settings.objectName);
    dialog.setAcceptMode(settings.mode);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(settings.filters);
    dialog.setDefaultSuffix(settings.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setSizeGripEnabled(true);
    dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}
