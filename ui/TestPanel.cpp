#include "ui/TestPanel.h"

#include "core/Fonts.h"
#include "port/TestPanelLogic.h"
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

TForm1::TForm1(Port& port, LogSink& log, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Test Panel"));
    setWindowIcon(pictures::testPanelIcon());
    // The layout follows the application's default font, as the main window's does, not the panel's own.
    scale_ = QFontMetrics(font()).height() / 13.0;
    setFont(tahomaFont(8));
    Q_ASSERT(!Form1);
    Form1 = this;

    LMDFormFill1 = new GradientFill(QColor(0, 0, 255), QColor(0, 0, 0), 50, this);
    LMDFormFill1->setObjectName(QStringLiteral("LMDFormFill1"));
    createPanels();
    createBoxes();
    createToolBar();
    createTimers();
    orderTabs();
    logic_ = new TestPanelLogic(port, log, *Timer1, *Timer2, this);
    logic_->setObjectName(QStringLiteral("TestPanelLogic"));
    connectHandlers();

    resize(qRound(ClientWidth * scale_), qRound(ClientHeight * scale_));
    FormCreate();
}

TForm1::~TForm1()
{
    Q_ASSERT(Form1 == this);
    Form1 = nullptr;
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
    // clicked comes only from the user (mouse or space bar); the logic sets the boxes from code.
    for (int line = 0; line < 8; ++line) {
        connect(D[line], &QCheckBox::clicked, this,
                [this, line] { runHandler([this, line] { (this->*LineHandlers[line])(); }); });
    }
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { runHandler([this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { runHandler([this] { SpeedButton2Click(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { runTimerHandler(Timer1, [this] { Timer1Timer(); }); });
    connect(Timer2, &QTimer::timeout, this, [this] { runTimerHandler(Timer2, [this] { Timer2Timer(); }); });
    connect(logic_, &TestPanelLogic::lineBoxChanged, this, &TForm1::showLineBox);
    connect(logic_, &TestPanelLogic::statusRead, this, &TForm1::showStatus);
}

void TForm1::showLineBox(int line, bool checked)
{
    const QSignalBlocker quiet(D[line]);
    D[line]->setChecked(checked);
}

void TForm1::showStatus(std::uint8_t status)
{
    for (int bit = 0; bit < 8; ++bit)
        CheckBox[bit]->setChecked((status >> bit) & 1);
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
    logic_->created();
}

void TForm1::FormShow()
{
    logic_->shown();
}

void TForm1::FormClose()
{
    logic_->closed();
}

void TForm1::D0Click() { logic_->lineBoxClicked(0, D[0]->isChecked()); }
void TForm1::D1Click() { logic_->lineBoxClicked(1, D[1]->isChecked()); }
void TForm1::D2Click() { logic_->lineBoxClicked(2, D[2]->isChecked()); }
void TForm1::D3Click() { logic_->lineBoxClicked(3, D[3]->isChecked()); }
void TForm1::D4Click() { logic_->lineBoxClicked(4, D[4]->isChecked()); }
void TForm1::D5Click() { logic_->lineBoxClicked(5, D[5]->isChecked()); }
void TForm1::D6Click() { logic_->lineBoxClicked(6, D[6]->isChecked()); }
void TForm1::D7Click() { logic_->lineBoxClicked(7, D[7]->isChecked()); }

void TForm1::SpeedButton1Click()
{
    logic_->allOff();
}

void TForm1::Timer1Timer()
{
    logic_->pollStatus();
}

void TForm1::SpeedButton2Click()
{
    logic_->toggleScan();
}

void TForm1::Timer2Timer()
{
    logic_->scanStep();
}
