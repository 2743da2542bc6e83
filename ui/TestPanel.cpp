#include "ui/TestPanel.h"

#include "core/Fonts.h"
#include "log/LogSink.h"
#include "port/DataRegister.h"
#include "port/Registers.h"
#include "port/ScanStep.h"
#include "port/mmp.h"
#include "ui/GradientFill.h"
#include "ui/Handlers.h"
#include "ui/PictureWidgets.h"
#include "ui/Pictures.h"
#include "ui/ScreenCentre.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QProxyStyle>
#include <QShowEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <qdrawutil.h>

TForm1* Form1 = nullptr;

namespace {

// The outer 178 x 236 less a 4-pixel frame and a 30-pixel title bar.
constexpr int ClientWidth = 170;
constexpr int ClientHeight = 202;
constexpr int ToolBarHeight = 29;
constexpr int BevelWidth = 3;

const QColor BoxBackground(0, 0, 255);
const QColor BoxText(255, 255, 0);

// A raised outer bevel with a lowered one inside it.
class BevelPanel : public QFrame {
public:
    explicit BevelPanel(QWidget* parent) : QFrame(parent)
    {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(BevelWidth);
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const int inset = BevelWidth;
        qDrawShadePanel(&painter, frameRect().adjusted(inset, inset, -inset, -inset), palette(), true, BevelWidth);
    }
};

QLabel* panelCaption(const QString& text, QWidget* panel, const char* name)
{
    auto* label = new QLabel(text, panel);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(tahomaFont(8, true));
    label->move(8, 8);
    label->adjustSize();
    return label;
}

void paintBlueAndYellow(QCheckBox* box)
{
    QPalette colours = box->palette();
    colours.setColor(QPalette::Window, BoxBackground);
    colours.setColor(QPalette::WindowText, BoxText);
    box->setPalette(colours);
    // Buttons fill with the Button role by default; these boxes carry their own window colour.
    box->setBackgroundRole(QPalette::Window);
    box->setAutoFillBackground(true);
}

// The boxes are as narrow as "Acknowledge" with a 13-pixel mark and a 4-pixel gap; this style's wider gap
// would cut the caption at the box's edge.
class CompactCheckBoxStyle : public QProxyStyle {
public:
    explicit CompactCheckBoxStyle(QObject* owner) : QProxyStyle(QApplication::style()->name()) { setParent(owner); }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_CheckBoxLabelSpacing)
            return 3;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

using LineHandler = void (TForm1::*)();
constexpr LineHandler LineHandlers[8] = {&TForm1::D0Click, &TForm1::D1Click, &TForm1::D2Click, &TForm1::D3Click,
                                         &TForm1::D4Click, &TForm1::D5Click, &TForm1::D6Click, &TForm1::D7Click};

}  // namespace

TForm1::TForm1(LogSink& log, QWidget* parent) : QWidget(parent), log_(log)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Test Panel"));
    setWindowIcon(pictures::testPanelIcon());
    // The layout follows the application's default font, as the main window's does, not the panel's own.
    scale_ = QFontMetrics(font()).height() / 13.0;
    setFont(tahomaFont(8));
    Form1 = this;

    LMDFormFill1 = new GradientFill(QColor(0, 0, 255), QColor(0, 0, 0), 50, this);
    LMDFormFill1->setObjectName(QStringLiteral("LMDFormFill1"));
    createPanels();
    createBoxes();
    createToolBar();
    createTimers();
    orderTabs();
    connectHandlers();

    resize(qRound(ClientWidth * scale_), qRound(ClientHeight * scale_));
    FormCreate();
}

QRect TForm1::scaled(int left, int top, int width, int height) const
{
    return QRect(qRound(left * scale_), qRound(top * scale_), qRound(width * scale_), qRound(height * scale_));
}

void TForm1::createToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setAutoFillBackground(true);
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setSpacing(0);
    ToolBar1->layout()->setContentsMargins(0, 0, 0, 0);
    ToolBar1->setGeometry(scaled(0, 0, ClientWidth, ToolBarHeight));

    const auto placeButton = [this](QToolButton* button) {
        button->setFixedSize(qRound(23 * scale_), qRound(22 * scale_));
        button->setAutoRaise(true);
        // Mouse only, like the main window's picture buttons.
        button->setFocusPolicy(Qt::NoFocus);
        ToolBar1->addWidget(button);
        return button;
    };
    SpeedButton1 = placeButton(new QToolButton(ToolBar1));
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(pictures::sharpIcon(pictures::noEntryOverExclamation()));
    SpeedButton1->setIconSize(QSize(16, 16));
    // The lamps on their black ground, as drawn.
    SpeedButton2 = placeButton(new PictureButton(QStringLiteral("SpeedButton2"), pictures::lamps(), ToolBar1));
}

void TForm1::createPanels()
{
    Panel1 = new BevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(scaled(8, 32, 49, 169));
    Label1 = panelCaption(QStringLiteral("Data"), Panel1, "Label1");

    Panel2 = new BevelPanel(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(scaled(64, 32, 97, 169));
    Label2 = panelCaption(QStringLiteral("Status Byte"), Panel2, "Label2");
}

void TForm1::createBoxes()
{
    QStyle* compact = new CompactCheckBoxStyle(this);
    for (int line = 0; line < 8; ++line) {
        auto* box = new QCheckBox(QStringLiteral("D%1").arg(line), this);
        box->setObjectName(box->text());
        box->setGeometry(scaled(16, 64 + 16 * line, 33, 17));
        box->setStyle(compact);
        paintBlueAndYellow(box);
        D[line] = box;
    }
    const char* const statusCaptions[8] = {"S0",     "S1",          "PIRQ",        "Error",
                                           "Select", "Paper Error", "Acknowledge", "Busy"};
    for (int bit = 0; bit < 8; ++bit) {
        auto* box = new QCheckBox(QString::fromLatin1(statusCaptions[bit]), this);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(bit + 1));
        box->setGeometry(scaled(72, 64 + 16 * bit, 81, 17));
        box->setStyle(compact);
        paintBlueAndYellow(box);
        CheckBox[bit] = box;
    }
}

void TForm1::createTimers()
{
    const auto timer = [this](const char* name, int interval) {
        auto* created = new QTimer(this);
        created->setObjectName(QString::fromLatin1(name));
        created->setTimerType(Qt::PreciseTimer);
        created->setInterval(interval);
        return created;
    };
    Timer1 = timer("Timer1", 1000);
    Timer2 = timer("Timer2", 100);
}

void TForm1::orderTabs()
{
    QWidget* order[] = {D[0], D[1], D[2], D[3], D[4], D[5], D[6], D[7], ToolBar1,
                        CheckBox[0], CheckBox[1], CheckBox[2], CheckBox[3],
                        CheckBox[4], CheckBox[5], CheckBox[6], CheckBox[7], Panel1, Panel2};
    for (std::size_t index = 1; index < std::size(order); ++index)
        QWidget::setTabOrder(order[index - 1], order[index]);
}

void TForm1::connectHandlers()
{
    // clicked comes only from the user (mouse or space bar); code sets the boxes through setLineBox.
    for (int line = 0; line < 8; ++line) {
        connect(D[line], &QCheckBox::clicked, this,
                [this, line] { runHandler([this, line] { (this->*LineHandlers[line])(); }); });
    }
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { runHandler([this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { runHandler([this] { SpeedButton2Click(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { runTimerHandler(Timer1, [this] { Timer1Timer(); }); });
    connect(Timer2, &QTimer::timeout, this, [this] { runTimerHandler(Timer2, [this] { Timer2Timer(); }); });
}

void TForm1::showPanel()
{
    show();
    raise();
    activateWindow();
    if (shownBefore_)
        return;
    shownBefore_ = true;
    centreOnScreen(*this);
}

void TForm1::showEvent(QShowEvent* event)
{
    // A window coming back from the task bar gets a spontaneous show; only becoming visible counts.
    if (!event->spontaneous())
        runHandler([this] { FormShow(); });
    QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // A close handler that fails ends before the window is hidden, so the window stays up.
    bool closed = false;
    runHandler([this, &closed] {
        FormClose();
        closed = true;
    });
    event->setAccepted(closed);
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    LMDFormFill1->setGeometry(rect());
    ToolBar1->resize(width(), ToolBar1->height());
    QWidget::resizeEvent(event);
}

void TForm1::FormCreate()
{
    Timer1->stop();
}

void TForm1::FormShow()
{
    Timer1->start();
}

void TForm1::FormClose()
{
    Timer1->stop();
    Timer2->stop();
    SpeedButton1Click();
    PortData = 0xFF;
}

void TForm1::switchLine(int line)
{
    if (D[line]->isChecked())
        LineOn(line);
    else
        LineOff(line);
    ReadBackLine(log_);
}

void TForm1::setLineBox(int line, bool checked)
{
    QCheckBox* box = D[line];
    if (box->isChecked() == checked)
        return;
    {
        const QSignalBlocker quiet(box);
        box->setChecked(checked);
    }
    (this->*LineHandlers[line])();
}

void TForm1::D0Click() { switchLine(0); }
void TForm1::D1Click() { switchLine(1); }
void TForm1::D2Click() { switchLine(2); }
void TForm1::D3Click() { switchLine(3); }
void TForm1::D4Click() { switchLine(4); }
void TForm1::D5Click() { switchLine(5); }
void TForm1::D6Click() { switchLine(6); }
void TForm1::D7Click() { switchLine(7); }

void TForm1::SpeedButton1Click()
{
    UnrecordedAllOff(log_);
    for (int line = 0; line < 8; ++line)
        setLineBox(line, false);
}

void TForm1::Timer1Timer()
{
    const auto status = static_cast<std::uint8_t>(MMPInp(StatusPort) & 0xFF);
    log_.AppendLogLine(QStringLiteral("Status Byte  inp(0x379) = 0x") + registerHex(status));
    for (int bit = 0; bit < 8; ++bit)
        CheckBox[bit]->setChecked((status >> bit) & 1);
}

void TForm1::SpeedButton2Click()
{
    if (!Timer2->isActive()) {
        log_.AppendLogLine(QStringLiteral("Scan Mode.....  "));
        Timer2->start();
        PortData = 0xFF;
        return;
    }
    log_.AppendLogLine(QStringLiteral("End Scan Mode.....  "));
    Timer2->stop();
    SpeedButton1Click();
}

void TForm1::Timer2Timer()
{
    const ScanPosition next = nextScanPosition({PortData, ScanDescending != 0});
    PortData = next.portData;
    ScanDescending = next.descending ? 1 : 0;
    // Each box's handler may change PortData; the later boxes are tested against the new value.
    for (int line = 0; line < 8; ++line)
        setLineBox(line, showsLineAlone(PortData, line));
    // The step's own write is the one write the log does not echo.
    MMPOutp(DataPort, PortData);
}
