#pragma once

#include <QWidget>

class LogSink;

// The Test Panel: switches the data lines by hand, shows the status lines, runs the scan.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(LogSink& log, QWidget* parent = nullptr);

    // Visible, non-modal, in front; centred the first time.
    void showPanel();

private:
    LogSink& log_;
};

extern TForm1* Form1;
