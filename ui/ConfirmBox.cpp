#include "ui/ConfirmBox.h"

#include "ui/ScreenCentre.h"

#include <QMessageBox>

bool confirmOkCancel(const QString& question)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), question, QMessageBox::Ok | QMessageBox::Cancel);
    box.setObjectName(QStringLiteral("Confirm"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.adjustSize();
    centreOnScreen(box);
    return box.exec() == QMessageBox::Ok;
}
