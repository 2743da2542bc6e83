#pragma once

class QApplication;

// The start-up steps before the windows are created: title, names, fonts.
void prepareApplication(QApplication& application);
