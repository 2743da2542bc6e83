// Run at the normal scale and, as a second test, with QT_SCALE_FACTOR=2: texts and pictures as the screen
// shows them, in device pixels.
#include "app/Application.h"
#include "core/Fonts.h"
#include "tests/ProgramTest.h"
#include "tests/WindowParts.h"
#include "ui/Pictures.h"
#include "ui/ScreenCentre.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <memory>

namespace {

const QColor Red(255, 0, 0), Blue(0, 0, 255), Black(0, 0, 0);

// Device pixels per logical pixel: 1 or 2 in these runs.
int ratio()
{
    return qRound(qApp->devicePixelRatio());
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 100;
}

QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

int inkCount(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += isInk(image.pixel(x, y));
    }
    return count;
}

// The device pixels that show one logical pixel.
QSet<QRgb> devicePixelsOf(const QImage& image, QPoint logical)
{
    QSet<QRgb> colours;
    for (int dy = 0; dy < ratio(); ++dy) {
        for (int dx = 0; dx < ratio(); ++dx)
            colours << image.pixel(logical * ratio() + QPoint(dx, dy));
    }
    return colours;
}

}  // namespace

class DisplayScaleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareApplicationForTest();
        windows_ = std::make_unique<ProgramWindows>();
        QVERIFY2(ratio() == 1 || ratio() == 2, "run at QT_SCALE_FACTOR 1 or 2");
    }

    void cleanupTestCase() { windows_.reset(); }

    // The bitmap face has no letters but its 1x ones; on a scaled screen no text may be drawn with it.
    void everyTextHasLettersForTheScreen()
    {
        QList<QWidget*> widgets = {&windows_->main, &windows_->about, &windows_->testPanel};
        for (QWidget* window : {static_cast<QWidget*>(&windows_->main), static_cast<QWidget*>(&windows_->about),
                                static_cast<QWidget*>(&windows_->testPanel)})
            widgets += window->findChildren<QWidget*>();
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillet2005"), QStringLiteral("Text."));
        widgets << &box << box.findChildren<QWidget*>();
        QList<QFont> fonts = {QApplication::font(), QToolTip::font(), QApplication::font("QMenu"),
                              QApplication::font("QStatusBar")};
        for (QWidget* widget : widgets)
            fonts << widget->font();
        for (const QFont& font : fonts) {
            const QFontInfo drawn(font);
            const bool scalable = QFontDatabase::isSmoothlyScalable(drawn.family(), drawn.styleName());
            QVERIFY2(ratio() == 1 || scalable, qPrintable(drawn.family() + " has only bitmap sizes"));
        }
    }

    // "Script: Script" in the 8-point dialog face: its letters' height and the line's width grow with the scale.
    void textsAreDrawnAtTheScaledSize()
    {
        QLabel* label = part<QLabel>(windows_->main, "LMDLabel1");
        QCOMPARE(label->text(), QStringLiteral("Script: Script"));
        const QRect ink = inkBounds(label->grab().toImage());
        const struct {
            int minHeight, maxHeight, minWidth, maxWidth;
        } expected[] = {{}, {10, 12, 56, 72}, {20, 25, 112, 144}};
        const auto& wanted = expected[ratio()];
        QVERIFY2(ink.height() >= wanted.minHeight && ink.height() <= wanted.maxHeight,
                 qPrintable(QStringLiteral("ink %1 pixels high").arg(ink.height())));
        QVERIFY2(ink.width() >= wanted.minWidth && ink.width() <= wanted.maxWidth,
                 qPrintable(QStringLiteral("ink %1 pixels wide").arg(ink.width())));
    }

    // Each 32 x 32 picture unscaled, centred on its button and cut to it (the About box's from its corner), its
    // pixels repeated exactly at the screen's scale.
    void picturesAreDrawnAsDrawn_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QPoint>("where");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<bool>("driverOpen");
        // The driver button is 40 x 22: the picture's corner stands at (4, -5).
        const QPoint driverCorner(4, -5);
        QTest::newRow("driver button: a pin") << "main/SpeedButton1" << driverCorner + QPoint(6, 11) << Red << true
                                              << false;
        QTest::newRow("driver button: the shell's blue") << "main/SpeedButton1" << driverCorner + QPoint(12, 14)
                                                         << Blue << true << false;
        QTest::newRow("driver button: black left out") << "main/SpeedButton1" << driverCorner + QPoint(1, 25)
                                                       << Black << false << false;
        // The Test Panel buttons are 23 x 22: the corner stands at (-4, -5); the second lamp is at 6..10, 13..19.
        const QPoint lampsCorner(-4, -5);
        QTest::newRow("Test Panel button: a lamp") << "main/SpeedButton2" << lampsCorner + QPoint(7, 15) << Red
                                                   << true << true;
        QTest::newRow("Test Panel button: black left out") << "main/SpeedButton2" << lampsCorner + QPoint(10, 5)
                                                           << Black << false << true;
        QTest::newRow("scan button: a lamp") << "panel/SpeedButton2" << lampsCorner + QPoint(7, 15) << Red << true
                                             << false;
        QTest::newRow("scan button: on black") << "panel/SpeedButton2" << lampsCorner + QPoint(10, 5) << Black
                                               << true << false;
        QTest::newRow("scan button: black at its corner") << "panel/SpeedButton2" << QPoint(0, 21) << Black << true
                                                          << false;
        QTest::newRow("About box: a pin") << "about/ProgramIcon" << QPoint(6, 11) << Red << true << false;
        QTest::newRow("About box: the black ground") << "about/ProgramIcon" << QPoint(0, 0) << Black << true << false;
    }
    void picturesAreDrawnAsDrawn()
    {
        QFETCH(QString, widget);
        QFETCH(QPoint, where);
        QFETCH(QColor, colour);
        QFETCH(bool, exact);
        QFETCH(bool, driverOpen);
        // The driver button shows until the driver is open, the Test Panel button from then on.
        if (driverOpen && part<QToolButton>(windows_->main, "SpeedButton1")->isEnabled())
            windows_->main.SpeedButton1Click();
        const QString window = widget.section(u'/', 0, 0);
        QWidget* owner = window == "main" ? static_cast<QWidget*>(&windows_->main)
                         : window == "panel" ? static_cast<QWidget*>(&windows_->testPanel)
                                             : static_cast<QWidget*>(&windows_->about);
        auto* shown = owner->findChild<QWidget*>(widget.section(u'/', 1));
        QVERIFY(shown);
        const QImage image = shown->grab().toImage();
        QCOMPARE(image.size(), shown->size() * ratio());
        const QSet<QRgb> pixels = devicePixelsOf(image, where);
        if (exact)
            QCOMPARE(pixels, QSet<QRgb>{colour.rgb()});
        else
            QVERIFY2(!pixels.contains(colour.rgb()), "the picture's black shows");
    }

    // The panels' captions are bold: clearly more ink than the same text regular.
    void panelCaptionsAreBold()
    {
        for (QLabel* caption : {part<QLabel>(windows_->testPanel, "Label1"), part<QLabel>(windows_->testPanel, "Label2")}) {
            QLabel regular(caption->text());
            regular.setFont(tahomaFont(8));
            regular.setPalette(caption->palette());
            regular.adjustSize();
            const int bold = inkCount(caption->grab().toImage());
            const int thin = inkCount(regular.grab().toImage());
            QVERIFY2(bold * 4 >= thin * 5, qPrintable(QStringLiteral("%1: %2 ink pixels bold, %3 regular")
                                                          .arg(caption->text())
                                                          .arg(bold)
                                                          .arg(thin)));
        }
    }

    // Yellow letters on blue: each box's last column shows only blue, so no caption runs into the edge.
    void statusCaptionsAreWhole()
    {
        for (int number = 1; number <= 8; ++number) {
            QCheckBox* box = part<QCheckBox>(windows_->testPanel, QStringLiteral("CheckBox%1").arg(number));
            const QImage image = box->grab().toImage();
            for (int x = image.width() - ratio(); x < image.width(); ++x) {
                for (int y = 0; y < image.height(); ++y)
                    QVERIFY2(QColor(image.pixel(x, y)) == Blue, qPrintable(box->text() + " is cut at its edge"));
            }
        }
    }

    // A message box takes its final size as it is shown, and a window may be resized before it is first
    // exposed: each is centred at its final size, and once it stands there it is left alone.
    void centredAtTheFinalSize()
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"),
                        QStringLiteral("OK to overwrite /a/rather/long/path/to/a/folder/with/a/long/name/log.rtf"));
        box.addButton(QStringLiteral("&Yes"), QMessageBox::ActionRole);
        box.addButton(QStringLiteral("Cancel"), QMessageBox::ActionRole);
        QWidget window;
        window.resize(200, 100);
        const QPoint centre = window.screen()->availableGeometry().center();
        for (QWidget* shown : {static_cast<QWidget*>(&box), &window}) {
            centreOnScreen(*shown);
            shown->show();
        }
        window.resize(300, 240);
        for (QWidget* shown : {static_cast<QWidget*>(&box), &window}) {
            QTRY_VERIFY((shown->frameGeometry().center() - centre).manhattanLength() <= 2);
            QTRY_VERIFY_WITH_TIMEOUT(!shown->findChild<QObject*>(QStringLiteral("FrameCentring")), 3000);
        }
        const QPoint settled = window.frameGeometry().center();
        window.resize(400, 300);
        QTest::qWait(100);
        QCOMPARE(window.frameGeometry().center(), settled + QPoint(50, 30));
    }

    // The program icon: all installed sizes, on a transparent ground, the connector's colours in each.
    void programIconOffersEverySize()
    {
        const QList<QSize> offered = pictures::programIcon().availableSizes();
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            QVERIFY2(offered.contains(QSize(size, size)), qPrintable(QString::number(size)));
            const QImage image = pictures::programIconImage(size);
            QCOMPARE(image.size(), QSize(size, size));
            QCOMPARE(qAlpha(image.pixel(0, size - 1)), 0);
            QCOMPARE(qAlpha(image.pixel(size / 2, size - 1)), 0);
            QSet<QRgb> colours;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x)
                    colours << image.pixel(x, y);
            }
            for (QRgb wanted : {qRgb(255, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 0)})
                QVERIFY2(size < 24 || colours.contains(wanted), qPrintable(QString::number(size)));
        }
        // At 32 pixels, the connector picture five rows lower: its black rows below the connector are left out.
        const QImage icon = pictures::programIconImage(32);
        const QImage picture = pictures::connector().toImage();
        for (int y = 0; y < 27; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QRgb drawn = picture.pixel(x, y);
                QCOMPARE(icon.pixel(x, y + 5), drawn == qRgb(0, 0, 0) ? qRgba(0, 0, 0, 0) : drawn);
            }
        }
    }

private:
    std::unique_ptr<ProgramWindows> windows_;
};

QTEST_MAIN(DisplayScaleTest)
#include "test_display_scale.moc"
