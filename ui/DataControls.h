#pragma once

// Placeholder until the data-aware views land.
#include <QLineEdit>
#include <QTableView>

class DBGrid : public QTableView {};
class DBNavigator : public QWidget {};
class DBEdit : public QLineEdit {};
