#include "ui/ScriptFileDialog.h"

QString askScriptFilePath(QWidget* parent, const QString& initialName, QFileDialog::AcceptMode mode)
{
    const bool saving = mode == QFileDialog::AcceptSave;
    QFileDialog dialog(parent);
    dialog.setObjectName(saving ? QStringLiteral("ScriptSaveDialog") : QStringLiteral("ScriptOpenDialog"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Script files (*.csv)"), QStringLiteral("All Files (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    // Replacing a file is asked by the caller, with the same question as for the log.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setSizeGripEnabled(true);
    dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}
