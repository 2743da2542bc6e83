#pragma once

class QAction;
class QObject;

// A menu item bound to an action: it shows the action's caption, picture, shortcut and hint and runs the
// action when chosen. The action keeps the shortcut itself, so the key is not taken twice.
QAction* linkedMenuItem(QAction* action, const char* itemName, QObject* parent);
