#pragma once

#include <QDialog>

// The About box, created hidden at start-up and shown modally as often as the user asks.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

extern TAboutBox* AboutBox;
