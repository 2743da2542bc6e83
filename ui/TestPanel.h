#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class GradientFill;
class LogSink;
class Port;
class TestPanelLogic;
class QCheckBox;
class QFrame;
class QLabel;
class QTimer;
class QToolBar;
class QToolButton;

// The Test Panel's window: its components wired to the panel's logic, which switches the data lines,
// polls the status lines and runs the scan. Closing it by the user hides it after switching all lines
// off; destroying it switches nothing.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    TForm1(Port& port, LogSink& log, QWidget* parent = nullptr);
    ~TForm1() override;

    // Visible, non-modal, in front; centred the first time.
    void showPanel();

    // Handlers. A handler called from code lets a failure through to its caller.
    void SpeedButton1Click();
    void D0Click();
    void D1Click();
    void D2Click();
    void D3Click();
    void D4Click();
    void D5Click();
    void D6Click();
    void D7Click();
    void Timer1Timer();
    void FormCreate();
    void FormClose();
    void FormShow();
    void SpeedButton2Click();
    void Timer2Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect scaled(int left, int top, int width, int height) const;
    void createToolBar();
    void createPanels();
    void createBoxes();
    void createTimers();
    void orderTabs();
    void connectHandlers();
    void showLineBox(int line, bool checked);
    void showStatus(std::uint8_t status);

    // Components. D[n] is box Dn, line n; CheckBox[k - 1] is CheckBoxk, status bit k - 1.
    std::array<QCheckBox*, 8> D{};
    QToolBar* ToolBar1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    GradientFill* LMDFormFill1 = nullptr;
    std::array<QCheckBox*, 8> CheckBox{};
    QTimer* Timer1 = nullptr;
    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QTimer* Timer2 = nullptr;

    TestPanelLogic* logic_ = nullptr;
    double scale_ = 1.0;
    bool shownBefore_ = false;
};

extern TForm1* Form1;
