#include "ui/Main.h"

// Placeholder until log saving lands.
void TWin2kAppForm::createLogSaving() {}
void TWin2kAppForm::FileSave1Execute() {}
void TWin2kAppForm::FileSaveAs1Execute() {}
