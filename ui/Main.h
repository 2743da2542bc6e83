#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

class BlinkLabel;
class DBEdit;
class DBGrid;
class DBNavigator;
class DataSet;
class LogFileSaver;
class LogPane;
class LogSink;
class PlaybackPacer;
class Port;
class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class ScriptDatabase;
class ScriptFileCommands;
class ScriptPlayer;
class ScriptRows;
class StepTimer;
class TAboutBox;
class TForm1;
class WaitTimer;

// The main window: menu, actions, toolbar, log pane, script views, player controls and status bar, wired
// to the port, the script player and the log saver.
class TWin2kAppForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TWin2kAppForm(Port& port, QWidget* parent = nullptr);
    ~TWin2kAppForm() override;

    // The activity log, for the other windows to write to.
    LogSink& log();
    // The windows that Help > About... and the Test Panel button show; created after this one.
    void setSecondaryWindows(TAboutBox& about, TForm1& testPanel);
    // The layout is designed for a text height of 13 pixels and scaled by the default font's.
    double layoutScale() const { return scale_; }

    // Handlers.
    void FormCreate();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void FileExit1Execute();
    void HelpAbout1Execute();
    void FormClose();
    void FileSave1Execute();
    void FileSaveAs1Execute();
    void PlayClick();
    void StopClick();
    void StopOff1Click();
    void LoopBoxClick();
    void Timer2Timer();
    void Timer1Timer();
    void PlayScript();
    void LMDButtonPanel1Buttons0Click();
    void LMDButtonPanel1Buttons1Click();
    void LMDButtonPanel1Buttons2Click();
    void LoadScriptClick();
    void SaveScriptClick();
    void ClearClick();
    void LMDButtonPanel1Buttons3Click();
    void LMDButtonPanel1Buttons4Click();
    void LMDButtonPanel1Buttons5Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* newAction(const char* name, const QString& caption, const QString& hint, const QKeySequence& shortcut);
    void createActions();
    void createMenu();
    void createToolBar();
    void createClientArea();
    void createButtonPanel(QWidget* client);
    void createPlayerControls(QWidget* client);
    void createTimers();
    void createPlayer();
    QRect scaled(int left, int top, int width, int height) const;
    void showDriverInitialised();
    void connectHandlers();
    // While playing, repaints are throttled and the views the player moves defer their updates.
    void setPlaybackUpdates(bool playing);
    void catchUpRecordViews();

    // Implemented beside the script views and the player.
    void createScriptStore();
    void openScriptStore();
    void createDataControls(QWidget* client);
    void storePendingScriptEdits();
    void createLogSaving();
    void createScriptFiles();

    // Components.
    QMenuBar* MainMenu1 = nullptr;
    QObject* ActionList1 = nullptr;
    QAction* FileSave1 = nullptr;
    QAction* FileSaveAs1 = nullptr;
    QAction* FileExit1 = nullptr;
    QAction* HelpAbout1 = nullptr;
    QAction* Play1 = nullptr;
    QMenu* File1 = nullptr;
    QMenu* Help1 = nullptr;
    QMenu* Script1 = nullptr;
    QAction* LoadScript = nullptr;
    QAction* SaveScript = nullptr;
    QAction* Clear = nullptr;
    QAction* StopAction = nullptr;
    QAction* StopOff1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    LogPane* RichEdit1 = nullptr;
    ScriptDatabase* ADOConnection1 = nullptr;
    DataSet* ADOTable1 = nullptr;
    DataSet* ADOTable2 = nullptr;
    DBGrid* DBGrid1 = nullptr;
    DBGrid* DBGrid2 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    DBNavigator* DBNavigator2 = nullptr;
    DBEdit* DBEdit1 = nullptr;
    DBEdit* DBEdit2 = nullptr;
    DBEdit* DBEdit3 = nullptr;
    DBEdit* DBEdit4 = nullptr;
    QCheckBox* LoopBox = nullptr;
    QFrame* LMDButtonPanel1 = nullptr;
    QToolButton* LMDButtonPanel1Buttons[6] = {};
    BlinkLabel* LMDLabel2 = nullptr;
    QLabel* LMDLabel1 = nullptr;
    QStatusBar* StatusBar = nullptr;
    WaitTimer* Timer1 = nullptr;
    StepTimer* Timer2 = nullptr;
    std::unique_ptr<LogFileSaver> SaveLogic;
    std::unique_ptr<ScriptFileCommands> ScriptFiles;

    Port& port_;
    std::unique_ptr<ScriptRows> scriptRows_;
    ScriptPlayer* player_ = nullptr;
    QPointer<TAboutBox> about_;
    QPointer<TForm1> testPanel_;
    double scale_ = 1.0;
    QAction* speedButton1Item_ = nullptr;
    QAction* speedButton2Item_ = nullptr;
    bool closed_ = false;
    // Playback catches the views up and repaints 25 times a second, between rows.
    PlaybackPacer* playbackPacer_ = nullptr;
};

extern TWin2kAppForm* Win2kAppForm;
