#include "ui/Main.h"

// Placeholder until the script store lands.
void TWin2kAppForm::openScriptStore() {}
void TWin2kAppForm::createDataControls(QWidget*, double) {}
void TWin2kAppForm::storePendingScriptEdits() {}
