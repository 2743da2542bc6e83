#include "ui/About.h"
#include "tests/WindowParts.h"
#include "ui/GradientFill.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

const QColor Fuchsia(255, 0, 255);
const QColor Black(0, 0, 0);
constexpr int FillHeight = 97;

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void bandColours_data()
    {
        QTest::addColumn<int>("band");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("first") << 0 << QColor(255, 0, 255);
        QTest::newRow("second") << 1 << QColor(249, 0, 249);
        QTest::newRow("third") << 2 << QColor(244, 0, 244);
        QTest::newRow("fifth") << 4 << QColor(232, 0, 232);
        QTest::newRow("last but one") << 44 << QColor(6, 0, 6);
        QTest::newRow("last") << 45 << QColor(0, 0, 0);
    }
    void bandColours()
    {
        QFETCH(int, band);
        QFETCH(QColor, colour);
        QCOMPARE(verticalGradient(Fuchsia, Black, 46, FillHeight).at(band).colour, colour);
    }

    void oneBandFillsTheAreaWithTheStartColour()
    {
        const auto bands = verticalGradient(Fuchsia, Black, 1, FillHeight);
        QCOMPARE(bands.size(), 1u);
        QCOMPARE(bands[0].colour, Fuchsia);
        QCOMPARE(bands[0].firstRow, 0);
        QCOMPARE(bands[0].endRow, FillHeight);
    }

    void bandRows()
    {
        const auto bands = verticalGradient(Fuchsia, Black, 46, FillHeight);
        QCOMPARE(bands.size(), 46u);
        QList<int> threeHigh;
        int nextRow = 0;
        for (int band = 0; band < 46; ++band) {
            const GradientBand& current = bands[band];
            QCOMPARE(current.firstRow, nextRow);
            const int height = current.endRow - current.firstRow;
            QVERIFY2(height == 2 || height == 3, qPrintable(QString::number(band)));
            if (height == 3)
                threeHigh << band;
            nextRow = current.endRow;
        }
        QCOMPARE(nextRow, FillHeight);
        QCOMPARE(threeHigh, (QList<int>{4, 13, 22, 32, 41}));
        QCOMPARE(bands[4].firstRow, 8);
        QCOMPARE(bands[4].endRow, 11);
        QCOMPARE(bands[45].firstRow, 95);
    }

    void layout()
    {
        TAboutBox box;
        QCOMPARE(box.windowTitle(), QStringLiteral("About Quillet 2005"));
        QCOMPARE(box.size(), QSize(225, 163));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(part<QFrame>(box, "Panel1")->geometry(), QRect(8, 8, 209, 113));
        // Within the panel's 2-pixel client edge; the two bevels leave exactly the fill's area.
        QCOMPARE(part<GradientFill>(box, "LMDPanelFill1")->geometry().topLeft() - part<QFrame>(box, "Panel1")->contentsRect().topLeft(), QPoint(6, 6));
        QCOMPARE(part<GradientFill>(box, "LMDPanelFill1")->size(), QSize(193, 97));
        QCOMPARE(part<QPushButton>(box, "OKButton")->geometry(), QRect(78, 130, 65, 26));
        QVERIFY(part<QPushButton>(box, "OKButton")->isDefault());
        for (QLabel* label : {part<QLabel>(box, "LMDSimpleLabel1"), part<QLabel>(box, "LMDSimpleLabel4"), part<QLabel>(box, "LMDSimpleLabel2"), part<QLabel>(box, "LMDSimpleLabel3")})
            QVERIFY2(part<GradientFill>(box, "LMDPanelFill1")->rect().contains(label->geometry()), qPrintable(label->text()));
    }

    // Children included: the picture on its black ground, cut to its box, and the labels leave the gradient
    // showing around them.
    void renderedFill_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("colour");
        for (int x : {0, 100, 192}) {
            const QString column = QStringLiteral(" x %1").arg(x);
            QTest::newRow(qPrintable("row 0" + column)) << QPoint(x, 0) << QColor(255, 0, 255);
            QTest::newRow(qPrintable("row 1" + column)) << QPoint(x, 1) << QColor(255, 0, 255);
            for (int row : {8, 9, 10})
                QTest::newRow(qPrintable(QStringLiteral("row %1").arg(row) + column)) << QPoint(x, row)
                                                                                    << QColor(232, 0, 232);
            QTest::newRow(qPrintable("row 95" + column)) << QPoint(x, 95) << QColor(0, 0, 0);
            QTest::newRow(qPrintable("row 96" + column)) << QPoint(x, 96) << QColor(0, 0, 0);
        }
        QTest::newRow("picture's top-left corner") << QPoint(8, 8) << QColor(0, 0, 0);
        QTest::newRow("picture's last pixel in the box") << QPoint(39, 32) << QColor(0, 0, 0);
        QTest::newRow("column right of the picture") << QPoint(40, 32) << QColor(170, 0, 170);
        QTest::newRow("row below the box") << QPoint(8, 33) << QColor(170, 0, 170);
        QTest::newRow("label's corner, off its letters") << QPoint(56, 16) << QColor(215, 0, 215);
    }
    void renderedFill()
    {
        QFETCH(QPoint, pixel);
        QFETCH(QColor, colour);
        TAboutBox box;
        const QImage image = part<GradientFill>(box, "LMDPanelFill1")->grab().toImage();
        QCOMPARE(image.size(), QSize(193, 97));
        QCOMPARE(image.pixelColor(pixel), colour);
    }

    void closing_data()
    {
        QTest::addColumn<QString>("route");
        QTest::addColumn<int>("result");
        QTest::newRow("click on OK") << "click" << int(QDialog::Accepted);
        QTest::newRow("Space on OK") << "space" << int(QDialog::Accepted);
        QTest::newRow("Return in the box") << "return" << int(QDialog::Accepted);
        QTest::newRow("keypad Enter in the box") << "enter" << int(QDialog::Accepted);
        QTest::newRow("close box") << "close" << int(QDialog::Rejected);
    }
    void closing()
    {
        QFETCH(QString, route);
        QFETCH(int, result);
        TAboutBox box;
        const QHash<QString, std::function<void()>> routes{
            {"click", [&] { QTest::mouseClick(part<QPushButton>(box, "OKButton"), Qt::LeftButton); }},
            {"space", [&] { QTest::keyClick(part<QPushButton>(box, "OKButton"), Qt::Key_Space); }},
            {"return", [&] { QTest::keyClick(&box, Qt::Key_Return); }},
            {"enter", [&] { QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier); }},
            {"close", [&] { box.close(); }},
        };
        // Twice: the same box comes back with the focus on OK and closes the same way.
        for (int showing = 0; showing < 2; ++showing) {
            QWidget* focusWhenShown = nullptr;
            QTimer::singleShot(0, &box, [&] {
                focusWhenShown = box.focusWidget();
                routes[route]();
            });
            QCOMPARE(box.exec(), result);
            QCOMPARE(focusWhenShown, part<QPushButton>(box, "OKButton"));
            QVERIFY(!box.isVisible());
        }
    }

    void escapeLeavesItOpen()
    {
        TAboutBox box;
        box.show();
        QTest::keyClick(part<QPushButton>(box, "OKButton"), Qt::Key_Escape);
        QTest::keyClick(&box, Qt::Key_Escape);
        QVERIFY(box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Rejected));
        QVERIFY(box.close());
        QVERIFY(!box.isVisible());
    }

    void onlyOkTakesFocus()
    {
        TAboutBox box;
        const QList<QWidget*> children = box.findChildren<QWidget*>();
        for (QWidget* child : children)
            QCOMPARE(child->focusPolicy() != Qt::NoFocus, child == part<QPushButton>(box, "OKButton"));
    }

    // QDialog on its own centres over its parent on every showing; the box goes to the screen's centre once
    // and then stays where it was left.
    void placement()
    {
        QWidget owner;
        owner.setGeometry(0, 0, 300, 200);
        owner.show();
        TAboutBox box(&owner);
        box.show();
        const QRect screen = box.screen()->availableGeometry();
        QVERIFY((box.frameGeometry().center() - screen.center()).manhattanLength() <= 1);
        box.hide();
        box.move(40, 50);
        box.show();
        QCOMPARE(box.pos(), QPoint(40, 50));
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"
