#include "ui/LogDialogs.h"

#include "core/FileDialog.h"
#include "ui/ScreenCentre.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

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
