#include "ui/Main.h"

#include "core/FileDialog.h"
#include "script/DataSet.h"
#include "script/ScriptFileCommands.h"
#include "ui/ConfirmBox.h"
#include "ui/DataControls.h"
#include "ui/LogDialogs.h"

#include <QToolButton>

void TWin2kAppForm::createScriptFiles()
{
    const QStringList filters{QStringLiteral("Script files (*.csv)"), QStringLiteral("All Files (*.*)")};
    const FileDialogSettings saving{QStringLiteral("ScriptSaveDialog"), QFileDialog::AcceptSave, filters,
                                    QStringLiteral("csv")};
    const FileDialogSettings loading{QStringLiteral("ScriptOpenDialog"), QFileDialog::AcceptOpen, filters,
                                     QStringLiteral("csv")};
    ScriptFileCommands::Questions questions{
        [this, saving](const QString& initialName) { return askFilePath(this, saving, initialName); },
        [this, loading](const QString& initialName) { return askFilePath(this, loading, initialName); },
        [](const QString& path) { return confirmLogOverwrite(path); },
        [](const QString& question) { return confirmOkCancel(question); },
    };
    ScriptFiles = std::make_unique<ScriptFileCommands>(*ADOTable2, *ADOConnection1, std::move(questions),
                                                       [this] { StopClick(); });
}

void TWin2kAppForm::LoadScriptClick()
{
    ScriptFiles->load();
}

void TWin2kAppForm::SaveScriptClick()
{
    ScriptFiles->save();
}

void TWin2kAppForm::ClearClick()
{
    ScriptFiles->clear();
}

// Insert Command and Delete Command are the script navigator's own buttons, question included.
void TWin2kAppForm::LMDButtonPanel1Buttons3Click()
{
    requireOpenScript(*ADOTable2);
    DBNavigator2->button(DBNavigator::Button::Insert)->click();
}

void TWin2kAppForm::LMDButtonPanel1Buttons4Click()
{
    requireOpenScript(*ADOTable2);
    DBNavigator2->button(DBNavigator::Button::Delete)->click();
}

void TWin2kAppForm::LMDButtonPanel1Buttons5Click()
{
    ClearClick();
}
