#include "ui/PaintThrottle.h"

#include <QPaintEvent>
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

}  // namespace

class PaintThrottleTest : public QObject {
    Q_OBJECT

private slots:
    void heldBackUpdatesArePaintedLaterNotLost()
    {
        QWidget window;
        auto* child = new CountingWidget(&window);
        child->resize(50, 50);
        PaintThrottle throttle(window, 60000);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(child->paints > 0);
        const int before = child->paints;

        throttle.setActive(true);
        for (int update = 0; update < 5; ++update) {
            child->update();
            QCoreApplication::processEvents();
        }
        QCOMPARE(child->paints, before);

        throttle.setActive(false);
        QCOMPARE(child->paints, before + 1);
        child->update();
        QTRY_COMPARE(child->paints, before + 2);
    }
};

QTEST_MAIN(PaintThrottleTest)
#include "test_paint_throttle.moc"
