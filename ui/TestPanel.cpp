#include "ui/TestPanel.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(LogSink& log, QWidget* parent) : QWidget(parent), log_(log)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Test Panel"));
    Form1 = this;
}

void TForm1::showPanel()
{
    show();
    raise();
    activateWindow();
}
