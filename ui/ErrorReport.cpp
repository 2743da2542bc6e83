#include "ui/ErrorReport.h"

#include "ui/ScreenCentre.h"
#include <QCoreApplication>
#include <QMessageBox>

namespace {

FailurePresenter& presenter()
{
    static FailurePresenter current;
    return current;
}

bool boxOpen = false;

void showErrorBox(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillet2005"), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.adjustSize();
    centreOnScreen(box);
    box.exec();
}

}  // namespace

QString withFullStop(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void reportFailure(const QString& message)
{
    if (boxOpen)
        return;
    boxOpen = true;
    const QString text = withFullStop(message);
    if (presenter())
        presenter()(text);
    else
        showErrorBox(text);
    boxOpen = false;
}

void reportFailureLater(const QString& message)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), [message] { reportFailure(message); }, Qt::QueuedConnection);
}

void setFailurePresenter(FailurePresenter replacement)
{
    presenter() = std::move(replacement);
}
