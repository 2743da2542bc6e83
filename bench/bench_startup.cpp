// Start-up to the main window's first paint, against a bare QMainWindow in the same run.
#include "app/Application.h"
#include "bench/BenchStats.h"
#include "tests/ProgramTest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double millisecondsToFirstPaint(const std::function<std::shared_ptr<QWidget>()>& create)
{
    QElapsedTimer clock;
    clock.start();
    FirstPaint watcher;
    const std::shared_ptr<QWidget> window = create();
    window->installEventFilter(&watcher);
    window->show();
    while (!watcher.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    window->removeEventFilter(&watcher);
    return elapsed;
}

}  // namespace

int main(int argc, char* argv[])
{
    preparePlatform();
    QApplication application(argc, argv);
    prepareApplicationForTest();
    constexpr int runs = 15;
    std::vector<double> program, bare;
    for (int run = 0; run < runs; ++run) {
        program.push_back(millisecondsToFirstPaint([] {
            auto windows = std::make_shared<ProgramWindows>();
            return std::shared_ptr<QWidget>(windows, &windows->main);
        }));
        bare.push_back(millisecondsToFirstPaint([] { return std::make_shared<QMainWindow>(); }));
    }
    const double programMedian = median(program);
    const double bareMedian = median(bare);
    std::printf("start-up to first paint (median of %d, platform %s)\n", runs,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  Quillet 2005 windows: %8.2f ms\n", programMedian);
    std::printf("  bare QMainWindow:     %8.2f ms\n", bareMedian);
    std::printf("  ratio:                %8.2f\n", programMedian / bareMedian);
    return 0;
}
