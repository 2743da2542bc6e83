#include "ui/Main.h"

#include "script/ScriptPlayer.h"
#include "ui/DataControls.h"
#include "ui/Handlers.h"
#include "ui/LogPane.h"
#include "ui/PlaybackPacer.h"

#include <QCheckBox>

void TWin2kAppForm::PlayClick()
{
    player_->play();
}

void TWin2kAppForm::StopClick()
{
    player_->stop();
}

void TWin2kAppForm::setPlaybackUpdates(bool playing)
{
    // The views the player moves catch up before the last repaint.
    RichEdit1->setUpdatesDeferred(playing);
    DBGrid2->setUpdatesDeferred(playing);
    for (DBEdit* edit : {DBEdit2, DBEdit3, DBEdit4})
        edit->setUpdatesDeferred(playing);
    playbackPacer_->setActive(playing);
}

void TWin2kAppForm::catchUpRecordViews()
{
    DBGrid2->catchUp();
    for (DBEdit* edit : {DBEdit2, DBEdit3, DBEdit4})
        edit->catchUp();
}

void TWin2kAppForm::StopOff1Click()
{
    player_->stopOff();
}

void TWin2kAppForm::LoopBoxClick()
{
    player_->setLoopEnabled(LoopBox->isChecked());
}

void TWin2kAppForm::Timer2Timer()
{
    // The player stops itself before a failing step's single report.
    runHandler([this] { player_->step(); });
}

void TWin2kAppForm::Timer1Timer()
{
    player_->endWait();
}

void TWin2kAppForm::PlayScript()
{
    player_->playRow();
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
