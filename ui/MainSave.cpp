#include "ui/Main.h"

#include "log/LogFileSaver.h"
#include "ui/LogDialogs.h"
#include "ui/LogPane.h"

void TWin2kAppForm::createLogSaving()
{
    SaveLogic = std::make_unique<LogFileSaver>(
        *RichEdit1->document(), paneRtfDefaults(*RichEdit1),
        [this](const QString& initialName) { return askLogFilePath(this, initialName); },
        [](const QString& path) { return confirmLogOverwrite(path); });
}

void TWin2kAppForm::FileSave1Execute()
{
    SaveLogic->save();
}

void TWin2kAppForm::FileSaveAs1Execute()
{
    SaveLogic->saveAs();
}
