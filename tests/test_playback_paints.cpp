#include "ui/PaintThrottle.h"
#include "ui/PlaybackPacer.h"
#include "ui/SteadyScrollBar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QTest>
#include <QWidget>

namespace {

class CountingWidget : public QWidget {
public:
    using QWidget::QWidget;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// A shown window with one child that counts its paints.
struct PaintedWindow {
    QWidget window;
    CountingWidget* child = new CountingWidget(&window);

    PaintedWindow()
    {
        child->resize(50, 50);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("window not exposed");
        QTRY_VERIFY(child->paints > 0);
    }
    // Marks the child for repainting and lets the event loop run once.
    void change()
    {
        child->update();
        QCoreApplication::processEvents();
    }
};

// The pacer over a shown window, with two catch-up groups that log what ran: the log as letters, the
// child's paints as "p".
struct Pacing {
    PaintedWindow painted;
    QString log;
    bool rowsRunning = true;
    int paintsLogged = 0;
    PlaybackPacer pacer{painted.window,
                        {[this] { note("a"); }, [this] { note("b"); }},
                        [this] { return rowsRunning; },
                        std::chrono::hours(1)};

    void note(const QString& what)
    {
        notePaints();
        log += what;
    }
    void notePaints()
    {
        for (; paintsLogged < painted.child->paints; ++paintsLogged)
            log += "p";
    }
    // A row runs, then the event loop turns until the next row.
    void row()
    {
        painted.change();
        pacer.rowPlayed();
        QCoreApplication::processEvents();
        notePaints();
    }
};

// Counts the pictures the style draws of scroll bars: the calls that draw the bar's top.
class CountingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    mutable int drawings = 0;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        if (control == CC_ScrollBar && painter->worldTransform().dy() == 0)
            ++drawings;
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
};

}  // namespace

class PlaybackPaintsTest : public QObject {
    Q_OBJECT

private slots:
    void heldBackUpdatesArePaintedLaterNotLost()
    {
        PaintedWindow painted;
        PaintThrottle throttle(painted.window);
        const int before = painted.child->paints;

        throttle.setActive(true);
        for (int update = 0; update < 5; ++update)
            painted.change();
        QCOMPARE(painted.child->paints, before);
        throttle.releasePendingPaint();
        QCOMPARE(painted.child->paints, before + 1);
        throttle.releasePendingPaint();
        QCOMPARE(painted.child->paints, before + 1);

        painted.change();
        throttle.setActive(false);
        QCOMPARE(painted.child->paints, before + 2);
        painted.child->update();
        QTRY_COMPARE(painted.child->paints, before + 3);
    }

    // Each catch-up and each repaint in a gap of its own, after a row and not inside it, in order.
    void whileRowsRunEachStepTakesTheGapAfterARow()
    {
        Pacing pacing;
        pacing.pacer.setActive(true);
        pacing.paintsLogged = pacing.painted.child->paints;
        pacing.row();
        QCOMPARE(pacing.log, QString());

        pacing.pacer.frameDue();
        pacing.painted.change();
        pacing.pacer.rowPlayed();
        QCOMPARE(pacing.log, QString());
        QCoreApplication::processEvents();
        QCOMPARE(pacing.log, QStringLiteral("a"));
        for (int row = 0; row < 4; ++row)
            pacing.row();
        QCOMPARE(pacing.log, QStringLiteral("apbp"));
    }

    void withoutRowsAllRunWhenTheIntervalHasPassed()
    {
        Pacing pacing;
        pacing.pacer.setActive(true);
        pacing.paintsLogged = pacing.painted.child->paints;
        pacing.painted.change();
        pacing.rowsRunning = false;
        pacing.pacer.frameDue();
        pacing.notePaints();
        QCOMPARE(pacing.log, QStringLiteral("apb"));
    }

    void switchingOffPaintsAtOnceAndDropsWhatWasDue()
    {
        Pacing pacing;
        pacing.pacer.setActive(true);
        pacing.paintsLogged = pacing.painted.child->paints;
        pacing.painted.change();
        pacing.pacer.frameDue();
        pacing.pacer.rowPlayed();
        pacing.pacer.setActive(false);
        pacing.notePaints();
        QCOMPARE(pacing.log, QStringLiteral("p"));
        QCoreApplication::processEvents();
        pacing.pacer.rowPlayed();
        QCoreApplication::processEvents();
        QCOMPARE(pacing.log, QStringLiteral("p"));
    }

    // The copied picture is the style's own, in every state that the bar shows.
    void steadyScrollBarLooksLikeAPlainOne_data()
    {
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("vertical, top") << Qt::Vertical << 100 << 0 << true;
        QTest::newRow("vertical, middle") << Qt::Vertical << 100 << 40 << true;
        QTest::newRow("vertical, end") << Qt::Vertical << 100 << 100 << true;
        QTest::newRow("horizontal, disabled") << Qt::Horizontal << 0 << 0 << false;
        QTest::newRow("horizontal, middle") << Qt::Horizontal << 1000 << 300 << true;
    }

    void steadyScrollBarLooksLikeAPlainOne()
    {
        QFETCH(Qt::Orientation, orientation);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(bool, enabled);
        QScrollBar plain(orientation);
        SteadyScrollBar steady(orientation);
        for (QScrollBar* bar : {&plain, static_cast<QScrollBar*>(&steady)}) {
            bar->resize(orientation == Qt::Vertical ? QSize(16, 150) : QSize(300, 16));
            bar->setRange(0, maximum);
            bar->setPageStep(20);
            bar->setEnabled(enabled);
        }
        // The steady bar was drawn once before it moves, so its copy must follow the move.
        (void)steady.grab();
        for (QScrollBar* bar : {&plain, static_cast<QScrollBar*>(&steady)})
            bar->setValue(value);
        QCOMPARE(steady.grab().toImage(), plain.grab().toImage());
    }

    void steadyScrollBarDrawsAgainOnlyWhenItsLookChanges()
    {
        CountingStyle style;
        SteadyScrollBar bar(Qt::Vertical);
        bar.setStyle(&style);
        bar.resize(16, 150);
        bar.setRange(0, 100);
        (void)bar.grab();
        QCOMPARE(style.drawings, 1);

        bar.setRange(0, 100);
        bar.setPageStep(bar.pageStep());
        (void)bar.grab();
        QCOMPARE(style.drawings, 1);

        bar.setValue(50);
        (void)bar.grab();
        QCOMPARE(style.drawings, 2);
        bar.setEnabled(false);
        (void)bar.grab();
        QCOMPARE(style.drawings, 3);
        bar.resize(16, 200);
        (void)bar.grab();
        QCOMPARE(style.drawings, 4);
    }
};

QTEST_MAIN(PlaybackPaintsTest)
#include "test_playback_paints.moc"
