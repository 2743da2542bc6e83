#include "ui/About.h"

#include "core/Fonts.h"
#include "ui/GradientFill.h"
#include "ui/PictureWidgets.h"
#include "ui/Pictures.h"
#include "ui/ScreenCentre.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>

TAboutBox* AboutBox = nullptr;

namespace {

constexpr int BevelWidth = 3;
constexpr int BandCount = 46;

// A panel inside a sunken 2-pixel client edge, with an outer and an inner lowered bevel within it. Its
// contents rectangle is the area inside the client edge, so children are placed relative to that.
class SunkenBevelPanel : public QFrame {
public:
    explicit SunkenBevelPanel(QWidget* parent) : QFrame(parent)
    {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const QRect outerBevel = contentsRect();
        qDrawShadePanel(&painter, outerBevel, palette(), true, BevelWidth);
        qDrawShadePanel(&painter, outerBevel.adjusted(BevelWidth, BevelWidth, -BevelWidth, -BevelWidth), palette(),
                        true, BevelWidth);
    }
};

// A transparent single-line label. A bitmap face has no bold cut and Qt does not embolden it, so bold letters
// are struck twice a pixel apart and spaced a pixel wider, as the platform the face was made for does.
class SimpleLabel : public QLabel {
public:
    SimpleLabel(const QString& text, QFont font, QWidget* parent)
        : QLabel(text, parent), overstruck_(font.bold() && !QFontDatabase::isSmoothlyScalable(QFontInfo(font).family()))
    {
        if (overstruck_)
            font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
        setFont(font);
    }

    QSize sizeHint() const override
    {
        return QLabel::sizeHint() + QSize(overstruck_ ? 1 : 0, 0);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!overstruck_) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        for (int shift : {0, 1})
            painter.drawText(contentsRect().translated(shift, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
    }

private:
    bool overstruck_;
};

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    Q_ASSERT(!AboutBox);
    AboutBox = this;
    setWindowTitle(QStringLiteral("About Quillet 2005"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(225, 163);
    setFont(msSansSerifFont(8));
    QPalette buttonFace = palette();
    buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
    setPalette(buttonFace);

    createPanel();
    createTexts();

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(78, 130, 65, 26);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(Panel1, OKButton);
}

TAboutBox::~TAboutBox()
{
    Q_ASSERT(AboutBox == this);
    AboutBox = nullptr;
}

void TAboutBox::createPanel()
{
    Panel1 = new SunkenBevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 209, 113);

    LMDPanelFill1 = new GradientFill(QColor(255, 0, 255), QColor(0, 0, 0), BandCount, Panel1);
    LMDPanelFill1->setObjectName(QStringLiteral("LMDPanelFill1"));
    LMDPanelFill1->setGeometry(QRect(Panel1->contentsRect().topLeft() + QPoint(6, 6), QSize(193, 97)));

    // The picture is 32 x 32 and the box 33 x 25: drawn from its top-left corner, cut at the bottom, with the
    // gradient showing in the column to its right.
    ProgramIcon = new PictureLabel(QStringLiteral("ProgramIcon"), pictures::connector(), LMDPanelFill1);
    ProgramIcon->setGeometry(8, 8, 33, 25);
}

QLabel* TAboutBox::newLabel(const char* name, const QString& text, const QColor& colour, int left, int top, bool bold)
{
    // No background of its own: only the letters are drawn over the gradient.
    auto* label = new SimpleLabel(text, msSansSerifFont(8, bold), LMDPanelFill1);
    label->setObjectName(QString::fromLatin1(name));
    QPalette letters = label->palette();
    letters.setColor(QPalette::WindowText, colour);
    label->setPalette(letters);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void TAboutBox::createTexts()
{
    const QColor yellow(255, 255, 0);
    LMDSimpleLabel1 = newLabel("LMDSimpleLabel1", QStringLiteral("Quillet 2005"), yellow, 56, 16, true);
    LMDSimpleLabel4 = newLabel("LMDSimpleLabel4", QStringLiteral("Build 1/16/2005"), QColor(0, 255, 0), 56, 32);
    LMDSimpleLabel2 = newLabel("LMDSimpleLabel2", QStringLiteral("Quillet 2005 project contributors"), yellow, 0, 56);
    LMDSimpleLabel3 = newLabel("LMDSimpleLabel3", QStringLiteral("Free software, MIT licence"), yellow, 48, 72);
}

void TAboutBox::showEvent(QShowEvent* event)
{
    // Centred on the screen the first time. The move marks the box as placed, so QDialog does not centre it
    // over the main window on later showings and it comes back wherever the user left it.
    if (!testAttribute(Qt::WA_Moved))
        centreOnScreen(*this);
    QDialog::showEvent(event);
    OKButton->setFocus();
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    // The box has no cancel button, so Esc does nothing; the close box still rejects it through closeEvent.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
