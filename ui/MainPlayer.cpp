#include "ui/Main.h"

// Placeholder until the script player lands.
void TWin2kAppForm::PlayClick() {}
void TWin2kAppForm::StopClick() {}
void TWin2kAppForm::StopOff1Click() {}
void TWin2kAppForm::LoopBoxClick() {}
void TWin2kAppForm::Timer2Timer() {}
void TWin2kAppForm::Timer1Timer() {}
void TWin2kAppForm::PlayScript() {}
void TWin2kAppForm::LMDButtonPanel1Buttons0Click() { PlayClick(); }
void TWin2kAppForm::LMDButtonPanel1Buttons1Click() { StopClick(); }
void TWin2kAppForm::LMDButtonPanel1Buttons2Click() { StopOff1Click(); }
