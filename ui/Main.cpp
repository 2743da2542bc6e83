#include "ui/Main.h"

#include "core/Fonts.h"
#include "log/LogFileSaver.h"
#include "port/Port.h"
#include "script/DataSet.h"
#include "script/ScriptFileCommands.h"
#include "script/ScriptPlayer.h"
#include "script/ScriptRows.h"
#include "script/StepTimer.h"
#include "ui/About.h"
#include "ui/BlinkLabel.h"
#include "ui/DataControls.h"
#include "ui/Handlers.h"
#include "ui/LogPane.h"
#include "ui/MenuItemLink.h"
#include "ui/PlaybackPacer.h"
#include "ui/PictureWidgets.h"
#include "ui/Pictures.h"
#include "ui/TestPanel.h"
#include "ui/ToolBarSeparator.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

TWin2kAppForm* Win2kAppForm = nullptr;

namespace {

constexpr int ToolBarHeight = 24;
constexpr int LogPaneHeight = 161;

// The client area below the toolbar: the log pane is docked to its top edge, everything else keeps
// its place when the window is resized.
class ClientArea : public QWidget {
public:
    ClientArea(QWidget* parent, int paneHeight) : QWidget(parent), paneHeight_(paneHeight) {}
    void setDockedPane(QWidget* pane) { pane_ = pane; }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        if (pane_)
            pane_->setGeometry(0, 0, width(), paneHeight_);
    }

private:
    int paneHeight_;
    QWidget* pane_ = nullptr;
};

}  // namespace

TWin2kAppForm::TWin2kAppForm(Port& port, QWidget* parent) : QMainWindow(parent), port_(port)
{
    setObjectName(QStringLiteral("Win2kAppForm"));
    Q_ASSERT(!Win2kAppForm);
    Win2kAppForm = this;
    setWindowTitle(QStringLiteral("Quillet 2005"));
    setWindowIcon(pictures::programIcon());
    scale_ = QFontMetrics(font()).height() / 13.0;

    createActions();
    createMenu();
    createToolBar();
    createClientArea();
    createTimers();
    createPlayer();
    createLogSaving();
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(true);
    StatusBar->setFixedHeight(qRound(19 * scale_));
    setStatusBar(StatusBar);
    connectHandlers();

    openScriptStore();
    createScriptFiles();
    FormCreate();

    const int menuHeight = menuBar()->sizeHint().height();
    resize(qRound(537 * scale_), qRound(505 * scale_) + menuHeight);
    RichEdit1->setFocus();
}

TWin2kAppForm::~TWin2kAppForm()
{
    Q_ASSERT(Win2kAppForm == this);
    Win2kAppForm = nullptr;
}

void TWin2kAppForm::setSecondaryWindows(TAboutBox& about, TForm1& testPanel)
{
    about_ = &about;
    testPanel_ = &testPanel;
}

LogSink& TWin2kAppForm::log()
{
    return *RichEdit1;
}

QRect TWin2kAppForm::scaled(int left, int top, int width, int height) const
{
    // Tops are client coordinates of the whole window; the client widget starts below the toolbar.
    return QRect(qRound(left * scale_), qRound((top - ToolBarHeight) * scale_), qRound(width * scale_),
                 qRound(height * scale_));
}

QAction* TWin2kAppForm::newAction(const char* name, const QString& caption, const QString& hint,
                                  const QKeySequence& shortcut)
{
    auto* action = new QAction(caption, ActionList1);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("hint", hint);
    action->setShortcut(shortcut);
    // The main window's keys work while the Test Panel is active too, but not behind a modal window.
    action->setShortcutContext(Qt::ApplicationShortcut);
    addAction(action);
    return action;
}

void TWin2kAppForm::createActions()
{
    ActionList1 = new QObject(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    FileSave1 = newAction("FileSave1", QStringLiteral("&Save"), QStringLiteral("Save|Save current file"),
                          QKeySequence(Qt::CTRL | Qt::Key_S));
    FileSave1->setIcon(pictures::sharpIcon(pictures::floppyDisk()));
    FileSaveAs1 = newAction("FileSaveAs1", QStringLiteral("Save &As..."),
                            QStringLiteral("Save As|Save current file with different name"), {});
    FileExit1 = newAction("FileExit1", QStringLiteral("E&xit"), QStringLiteral("Exit|Exit application"), {});
    HelpAbout1 = newAction("HelpAbout1", QStringLiteral("&About..."),
                           QStringLiteral("About|Displays program information, version number, and copyright"), {});
    Play1 = newAction("Play1", QStringLiteral("&Play"), QString(), QKeySequence(Qt::Key_F5));
}

void TWin2kAppForm::createMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    File1 = MainMenu1->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    File1->menuAction()->setProperty("hint", QStringLiteral("File related commands"));
    File1->addAction(linkedMenuItem(FileSave1, "FileSaveItem", File1));
    File1->addAction(linkedMenuItem(FileSaveAs1, "FileSaveAsItem", File1));
    File1->addSeparator()->setObjectName(QStringLiteral("N1"));
    File1->addAction(linkedMenuItem(FileExit1, "FileExitItem", File1));

    Help1 = MainMenu1->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->menuAction()->setProperty("hint", QStringLiteral("Help topics"));
    Help1->addAction(linkedMenuItem(HelpAbout1, "HelpAboutItem", Help1));

    Script1 = MainMenu1->addMenu(QStringLiteral("&Script"));
    Script1->setObjectName(QStringLiteral("Script1"));
    LoadScript = newAction("LoadScript", QStringLiteral("&Load"), QString(), QKeySequence(Qt::Key_F2));
    Script1->addAction(LoadScript);
    SaveScript = newAction("SaveScript", QStringLiteral("&Save"), QString(), QKeySequence(Qt::Key_F3));
    Script1->addAction(SaveScript);
    Clear = newAction("Clear", QStringLiteral("&Clear"), QString(), QKeySequence(Qt::Key_F4));
    Script1->addAction(Clear);
    QAction* playItem = linkedMenuItem(Play1, "Play", Script1);
    playItem->setProperty("hint", QStringLiteral("Play Script"));
    Script1->addAction(playItem);
    StopAction = newAction("Stop", QStringLiteral("S&top"), QStringLiteral("Stop|Stop Playing Script"),
                           QKeySequence(Qt::Key_F6));
    Script1->addAction(StopAction);
    StopOff1 = newAction("StopOff1", QStringLiteral("Stop/&Off"), QString(), QKeySequence(Qt::Key_F7));
    Script1->addAction(StopOff1);
}

void TWin2kAppForm::createToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setSpacing(0);
    ToolBar1->layout()->setContentsMargins(0, 0, 0, 0);
    ToolBar1->setFixedHeight(qRound(ToolBarHeight * scale_));
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    ToolButton3 = new QToolButton(ToolBar1);
    ToolButton3->setObjectName(QStringLiteral("ToolButton3"));
    ToolButton3->setDefaultAction(FileSave1);
    ToolButton3->setAutoRaise(true);
    ToolButton3->setFixedSize(qRound(23 * scale_), qRound(22 * scale_));
    ToolButton3->setFocusPolicy(Qt::NoFocus);
    ToolBar1->addWidget(ToolButton3);
    ToolBar1->addWidget(new ToolBarSeparator(QStringLiteral("ToolButton4"), qRound(8 * scale_), ToolBar1));
    ToolBar1->addWidget(new ToolBarSeparator(QStringLiteral("ToolButton6"), qRound(40 * scale_), ToolBar1));

    const auto pictureButton = [this](const char* name, const QPixmap& picture, int width, const QString& hint) {
        auto* button = new PictureButton(QString::fromLatin1(name), pictures::withoutBlack(picture), ToolBar1);
        button->setFixedSize(qRound(width * scale_), qRound(22 * scale_));
        // Mouse only: no keyboard focus, no shortcut.
        button->setFocusPolicy(Qt::NoFocus);
        button->setProperty("hint", hint);
        return button;
    };
    SpeedButton1 = pictureButton("SpeedButton1", pictures::connector(), 40,
                                 QStringLiteral("MMP|Initialize MMP Driver"));
    SpeedButton2 = pictureButton("SpeedButton2", pictures::lamps(), 23, QStringLiteral("Test Panel|Open Test Panel"));
    SpeedButton2->setEnabled(false);
    speedButton1Item_ = ToolBar1->addWidget(SpeedButton1);
    speedButton2Item_ = ToolBar1->addWidget(SpeedButton2);
    speedButton2Item_->setVisible(false);
}

void TWin2kAppForm::createClientArea()
{
    auto* client = new ClientArea(this, qRound(LogPaneHeight * scale_));
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    RichEdit1 = new LogPane(client);
    client->setDockedPane(RichEdit1);
    RichEdit1->setGeometry(0, 0, qRound(537 * scale_), qRound(LogPaneHeight * scale_));

    createDataControls(client);
    createButtonPanel(client);
    createPlayerControls(client);

    // The tab order of the layout: log pane, toolbar (its buttons take no focus), button panel, grids, edits,
    // navigators, Loop.
    QWidget* order[] = {RichEdit1, LMDButtonPanel1Buttons[0], LMDButtonPanel1Buttons[1],
                        LMDButtonPanel1Buttons[2], LMDButtonPanel1Buttons[3], LMDButtonPanel1Buttons[4],
                        LMDButtonPanel1Buttons[5], DBGrid1,
                        DBGrid2, DBEdit1,
                        DBEdit2, DBEdit3,
                        DBEdit4, DBNavigator1,
                        DBNavigator2, LoopBox};
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (!widget)
            continue;
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

void TWin2kAppForm::createButtonPanel(QWidget* client)
{
    LMDButtonPanel1 = new QFrame(client);
    LMDButtonPanel1->setObjectName(QStringLiteral("LMDButtonPanel1"));
    LMDButtonPanel1->setGeometry(scaled(112, 384, 192, 33));
    LMDButtonPanel1->setAutoFillBackground(true);
    QPalette sky = LMDButtonPanel1->palette();
    sky.setColor(QPalette::Window, QColor(166, 202, 240));
    sky.setColor(QPalette::Button, QColor(166, 202, 240));
    LMDButtonPanel1->setPalette(sky);

    const struct {
        QPixmap picture;
        const char* hint;
    } buttons[6] = {
        {pictures::playTriangle(), "Play Script"},
        {pictures::stopSquare(), "Stop"},
        {pictures::noEntryOverExclamation(), "Stop and All Bits Off"},
        {pictures::insertCommand(), "Insert Command"},
        {pictures::deleteCommand(), "Delete Command"},
        {pictures::wasteBin(), "Clear Script"},
    };
    const int size = qRound(32 * scale_);
    for (int index = 0; index < 6; ++index) {
        auto* button = new QToolButton(LMDButtonPanel1);
        button->setObjectName(QStringLiteral("LMDButtonPanel1Buttons%1").arg(index));
        button->setIcon(pictures::sharpIcon(buttons[index].picture));
        button->setIconSize(QSize(16, 16));
        button->setGeometry(index * size, 0, size, size);
        button->setProperty("hint", QString::fromLatin1(buttons[index].hint));
        LMDButtonPanel1Buttons[index] = button;
    }
    LMDButtonPanel1->hide();
}

void TWin2kAppForm::createPlayerControls(QWidget* client)
{
    LoopBox = new QCheckBox(QStringLiteral("Loop"), client);
    LoopBox->setObjectName(QStringLiteral("LoopBox"));
    LoopBox->setGeometry(scaled(264, 336, 49, 17));

    LMDLabel2 = new BlinkLabel(QStringLiteral("Playing"), QColor(255, 0, 0), QColor(255, 255, 0), client);
    LMDLabel2->setObjectName(QStringLiteral("LMDLabel2"));
    LMDLabel2->setFont(tahomaFont(8));
    LMDLabel2->setGeometry(scaled(16, 392, 36, 15));
    LMDLabel2->hide();

    LMDLabel1 = new QLabel(client);
    LMDLabel1->setObjectName(QStringLiteral("LMDLabel1"));
    LMDLabel1->move(scaled(112, 424, 0, 0).topLeft());
}

void TWin2kAppForm::createTimers()
{
    Timer1 = new WaitTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new StepTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
}

void TWin2kAppForm::createPlayer()
{
    scriptRows_ = std::make_unique<DataSetRows>(*ADOTable2);
    player_ = new ScriptPlayer(port_, log(), *scriptRows_, *Timer2, *Timer1, this);
    player_->setObjectName(QStringLiteral("ScriptPlayer"));
    // The log and the record's views repaint in gaps of their own: together they take longer than one.
    playbackPacer_ = new PlaybackPacer(*this, {[this] { RichEdit1->catchUp(); }, [this] { catchUpRecordViews(); }},
                                       [this] { return player_->isPlaying() && !player_->isWaiting(); });
    connect(player_, &ScriptPlayer::playingChanged, this, &TWin2kAppForm::setPlaybackUpdates);
    connect(player_, &ScriptPlayer::indicatorChanged, LMDLabel2, [this](bool shown) {
        LMDLabel2->setVisible(shown);
        LMDLabel2->setBlinking(shown);
    });
}

void TWin2kAppForm::connectHandlers()
{
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { runHandler([this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { runHandler([this] { SpeedButton2Click(); }); });
    connect(FileSave1, &QAction::triggered, this, [this] { runHandler([this] { FileSave1Execute(); }); });
    connect(FileSaveAs1, &QAction::triggered, this, [this] { runHandler([this] { FileSaveAs1Execute(); }); });
    connect(FileExit1, &QAction::triggered, this, [this] { runHandler([this] { FileExit1Execute(); }); });
    connect(HelpAbout1, &QAction::triggered, this, [this] { runHandler([this] { HelpAbout1Execute(); }); });
    connect(Play1, &QAction::triggered, this, [this] { runHandler([this] { PlayClick(); }); });
    connect(StopAction, &QAction::triggered, this, [this] { runHandler([this] { StopClick(); }); });
    connect(StopOff1, &QAction::triggered, this, [this] { runHandler([this] { StopOff1Click(); }); });
    connect(LoopBox, &QCheckBox::toggled, this, [this] { runHandler([this] { LoopBoxClick(); }); });
    connect(LMDButtonPanel1Buttons[0], &QToolButton::clicked, this,
            [this] { runHandler([this] { LMDButtonPanel1Buttons0Click(); }); });
    connect(LMDButtonPanel1Buttons[1], &QToolButton::clicked, this,
            [this] { runHandler([this] { LMDButtonPanel1Buttons1Click(); }); });
    connect(LMDButtonPanel1Buttons[2], &QToolButton::clicked, this,
            [this] { runHandler([this] { LMDButtonPanel1Buttons2Click(); }); });
    connect(LoadScript, &QAction::triggered, this, [this] { runHandler([this] { LoadScriptClick(); }); });
    connect(SaveScript, &QAction::triggered, this, [this] { runHandler([this] { SaveScriptClick(); }); });
    connect(Clear, &QAction::triggered, this, [this] { runHandler([this] { ClearClick(); }); });
    connect(LMDButtonPanel1Buttons[3], &QToolButton::clicked, this,
            [this] { runHandler([this] { LMDButtonPanel1Buttons3Click(); }); });
    connect(LMDButtonPanel1Buttons[4], &QToolButton::clicked, this,
            [this] { runHandler([this] { LMDButtonPanel1Buttons4Click(); }); });
    connect(LMDButtonPanel1Buttons[5], &QToolButton::clicked, this,
            [this] { runHandler([this] { LMDButtonPanel1Buttons5Click(); }); });
    connect(Timer2, &StepTimer::timeout, this, [this] {
        Timer2Timer();
        playbackPacer_->rowPlayed();
    });
    connect(Timer1, &WaitTimer::timeout, this, [this] { runTimerHandler(Timer1, [this] { Timer1Timer(); }); });
}

void TWin2kAppForm::FormCreate()
{
    LMDLabel1->setText(QStringLiteral("Script: ") + ADOTable2->tableName());
    LMDLabel1->adjustSize();
    player_->setLoopEnabled(false);
    LoopBox->setChecked(false);
}

void TWin2kAppForm::SpeedButton1Click()
{
    if (port_.initialise(log()))
        showDriverInitialised();
}

void TWin2kAppForm::showDriverInitialised()
{
    SpeedButton1->setEnabled(false);
    speedButton1Item_->setVisible(false);
    speedButton2Item_->setVisible(true);
    // The toolbar hides and shows its widgets at its next layout; do it now so the state is visible at once.
    ToolBar1->layout()->activate();
    SpeedButton2->setEnabled(true);
    LMDButtonPanel1->show();
}

void TWin2kAppForm::SpeedButton2Click()
{
    Q_ASSERT(testPanel_);
    testPanel_->showPanel();
}

void TWin2kAppForm::FileExit1Execute()
{
    close();
}

void TWin2kAppForm::HelpAbout1Execute()
{
    Q_ASSERT(about_);
    about_->exec();
}

void TWin2kAppForm::closeEvent(QCloseEvent* event)
{
    if (closed_) {
        event->accept();
        return;
    }
    bool stored = false;
    runHandler([this, &stored] {
        storePendingScriptEdits();
        stored = true;
    });
    // A row the database refused stays on screen in editing rather than being lost with the window.
    if (!stored) {
        event->ignore();
        return;
    }
    FormClose();
    closed_ = true;
    event->accept();
    // exit, not quit: quit first closes every window, which would run the Test Panel's close handler.
    QCoreApplication::exit(0);
}

void TWin2kAppForm::FormClose()
{
    port_.close();
    try {
        log().AppendLogLine(QStringLiteral("Close and end."));
    } catch (const Failure&) {
        // A full log cannot take the last line; the close goes ahead all the same, with nowhere left to show it.
    }
}
