#include "ui/Main.h"

#include "port/DataRegister.h"
#include "script/DataSet.h"
#include "script/Interpreter.h"
#include "script/ScriptFileCommands.h"
#include "ui/BlinkLabel.h"
#include "ui/Handlers.h"
#include "ui/PaintThrottle.h"

#include <QCheckBox>
#include <QTimer>

void TWin2kAppForm::PlayClick()
{
    // A running wait, even one left over from a stopped run, holds the player until it ends.
    if (Timer1->isActive())
        return;
    requireOpenScript(*ADOTable2);
    if (!Timer2->isActive()) {
        Timer2->start();
        playbackPaints_->setActive(true);
    }
}

void TWin2kAppForm::StopClick()
{
    Timer2->stop();
    LMDLabel2->hide();
    LMDLabel2->setBlinking(false);
    playbackPaints_->setActive(false);
}

void TWin2kAppForm::StopOff1Click()
{
    WriteDataByte(0xFF);
    ReadBackLine(log());
    StopClick();
}

void TWin2kAppForm::LoopBoxClick()
{
    LoopEnabled = LoopBox->isChecked();
}

void TWin2kAppForm::Timer2Timer()
{
    // A failing step would fail again at every tick, behind its own error box: stop playing first.
    runHandler(
        [this] {
            LMDLabel2->show();
            LMDLabel2->setBlinking(true);
            if (Timer1->isActive())
                return;
            PlayScript();
            ADOTable2->next();
            if (!ADOTable2->eof())
                return;
            if (LoopEnabled)
                ADOTable2->first();
            else
                StopClick();
        },
        [this] { StopClick(); });
}

void TWin2kAppForm::Timer1Timer()
{
    Timer1->stop();
}

void TWin2kAppForm::PlayScript()
{
    if (Timer1->isActive())
        return;
    executeScriptCommand(ADOTable2->fieldAsInt(QStringLiteral("Script Command")),
                         ADOTable2->fieldAsInt(QStringLiteral("Data")), log(),
                         [this](int milliseconds) { Timer1->start(milliseconds); });
}

void TWin2kAppForm::LMDButtonPanel1Buttons0Click()
{
    PlayClick();
}

void TWin2kAppForm::LMDButtonPanel1Buttons1Click()
{
    StopClick();
}

void TWin2kAppForm::LMDButtonPanel1Buttons2Click()
{
    StopOff1Click();
}
