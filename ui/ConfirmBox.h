#pragma once

#include <QString>

// A question box titled "Confirm", centred on the screen, with a question-mark icon and the buttons OK
// (default) and Cancel; modal to the application. True for OK; Esc and the close box count as Cancel.
bool confirmOkCancel(const QString& question);
