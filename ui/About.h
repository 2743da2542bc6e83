#pragma once

#include <QDialog>

class GradientFill;
class QFrame;
class QLabel;
class QPushButton;

// The About box, created hidden at start-up and shown modally as often as the user asks. OK and Enter
// accept it, the close box rejects it, Esc does nothing.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createPanel();
    void createTexts();
    QLabel* newLabel(const char* name, const QString& text, const QColor& colour, int left, int top,
                     bool bold = false);

    // Components.
    QFrame* Panel1 = nullptr;
    GradientFill* LMDPanelFill1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* LMDSimpleLabel1 = nullptr;
    QLabel* LMDSimpleLabel4 = nullptr;
    QLabel* LMDSimpleLabel2 = nullptr;
    QLabel* LMDSimpleLabel3 = nullptr;
    QPushButton* OKButton = nullptr;
};

extern TAboutBox* AboutBox;
