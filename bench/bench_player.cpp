// Script playback on the simulated port with the log pane shown, side by side with bare 1 ms precise
// timers in the same run: rows per second against 1,000 and against the bare timer's ticks per second,
// the gaps between rows, the GUI thread's work per row, and the lateness of 500 ms waits.
#include "app/Application.h"
#include "tests/ProgramTest.h"
#include "tests/ScriptFile.h"
#include "bench/BenchStats.h"
#include "core/Failure.h"
#include "script/Commands.h"
#include "script/ScriptDatabase.h"
#include "script/StepTimer.h"
#include "tests/WindowParts.h"
#include "ui/LogPane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int ScriptRows = 2000;
constexpr int Waits = 20;
constexpr int WaitMilliseconds = 500;
constexpr int BareTickMilliseconds = 2000;

double nowMs(const QElapsedTimer& clock)
{
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Times every event the event loop hands out (not the ones sent from inside another); the event in which
// a row's log line appeared is that row's work.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool timing = false;
    int rowsLogged = 0;
    std::vector<double> rowEventUs;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!timing || depth_ > 0)
            return QApplication::notify(receiver, event);
        ++depth_;
        const int rowsBefore = rowsLogged;
        QElapsedTimer clock;
        clock.start();
        const bool handled = QApplication::notify(receiver, event);
        const double elapsedUs = static_cast<double>(clock.nsecsElapsed()) / 1e3;
        --depth_;
        if (rowsLogged != rowsBefore)
            rowEventUs.push_back(elapsedUs / (rowsLogged - rowsBefore));
        return handled;
    }

private:
    int depth_ = 0;
};

TimedApplication& timedApplication()
{
    return *static_cast<TimedApplication*>(QCoreApplication::instance());
}

// Plays the script from its first row in a shown main window until the player and its wait have stopped;
// onLine is told of every log line as it is appended. Returns the GUI thread's CPU time in milliseconds.
double play(const std::vector<ScriptStep>& rows, const std::function<void(const QString& line)>& onLine)
{
    writeFreshScript(rows);
    ProgramWindows windows;
    windows.showMain();
    QTextDocument& document = *part<LogPane>(windows.main, "RichEdit1")->document();
    TimedApplication& timed = timedApplication();
    timed.rowsLogged = 0;
    timed.rowEventUs.clear();
    QObject::connect(&document, &QTextDocument::contentsChanged, [&] {
        // The last block is the empty one after the closing line break.
        while (timed.rowsLogged < document.blockCount() - 1)
            onLine(document.findBlockByNumber(timed.rowsLogged++).text());
    });
    const StepTimer& steps = *part<StepTimer>(windows.main, "Timer2");
    const WaitTimer& wait = *part<WaitTimer>(windows.main, "Timer1");
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!steps.isActive() && !wait.isActive())
            loop.quit();
    });
    watch.start(50);
    // Let the window settle before the clock runs.
    QEventLoop settle;
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();
    const double cpuBefore = threadCpuMs();
    timed.timing = true;
    windows.main.PlayClick();
    loop.exec();
    timed.timing = false;
    return threadCpuMs() - cpuBefore;
}

struct Gaps {
    double perSecond = 0;
    double median = 0;
    double p99 = 0;
    double max = 0;
};

Gaps gapsOf(const std::vector<double>& times)
{
    std::vector<double> gaps;
    for (std::size_t index = 1; index < times.size(); ++index)
        gaps.push_back(times[index] - times[index - 1]);
    if (gaps.empty())
        return {};
    return {static_cast<double>(gaps.size()) / ((times.back() - times.front()) / 1000), median(gaps),
            percentile(gaps, 0.99), percentile(gaps, 1.0)};
}

Gaps bareTicks()
{
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(1);
    std::vector<double> times;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        times.push_back(nowMs(clock));
        if (times.back() - times.front() >= BareTickMilliseconds)
            loop.quit();
    });
    timer.start();
    loop.exec();
    return gapsOf(times);
}

struct Playback {
    Gaps gaps;
    double rowUsMedian = 0;
    double rowUsP99 = 0;
    double cpuUsPerRow = 0;
};

Playback playerRows()
{
    std::vector<ScriptStep> rows;
    for (int index = 0; index < ScriptRows; ++index)
        // Every line command in turn: D0 on .. D7 on, D0 off .. D7 off.
        rows.push_back({ScriptCommand::FirstLineOn + index % 16, 0});
    QElapsedTimer clock;
    clock.start();
    std::vector<double> times;
    const double cpuMs = play(rows, [&](const QString&) { times.push_back(nowMs(clock)); });
    if (times.size() != ScriptRows)
        std::printf("  warning: %zu rows logged of %d\n", times.size(), ScriptRows);
    const std::vector<double>& rowUs = timedApplication().rowEventUs;
    return {gapsOf(times), median(rowUs), percentile(rowUs, 0.99), cpuMs * 1000 / static_cast<double>(times.size())};
}

// From the row that started the wait to the row after it, less the wait.
std::vector<double> playerWaitLateness()
{
    std::vector<ScriptStep> rows;
    for (int index = 0; index < Waits; ++index) {
        rows.push_back({ScriptCommand::Wait, WaitMilliseconds});
        rows.push_back({ScriptCommand::lineOn(0), 0});
    }
    QElapsedTimer clock;
    clock.start();
    std::vector<double> lateness;
    double waitStartedMs = -1;
    play(rows, [&](const QString& line) {
        if (line.startsWith(QStringLiteral("Waiting"))) {
            waitStartedMs = nowMs(clock);
        } else if (waitStartedMs >= 0) {
            lateness.push_back(nowMs(clock) - waitStartedMs - WaitMilliseconds);
            waitStartedMs = -1;
        }
    });
    return lateness;
}

std::vector<double> bareSingleShotLateness()
{
    std::vector<double> lateness;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QElapsedTimer clock;
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        lateness.push_back(nowMs(clock) - WaitMilliseconds);
        loop.quit();
    });
    for (int index = 0; index < Waits; ++index) {
        clock.start();
        timer.start(WaitMilliseconds);
        loop.exec();
    }
    return lateness;
}

void printGaps(const char* what, const Gaps& gaps, const char* unit)
{
    std::printf("  %-26s %7.1f %s  gap median %5.2f ms, p99 %5.2f ms, max %6.2f ms\n", what, gaps.perSecond, unit,
                gaps.median, gaps.p99, gaps.max);
}

void printLateness(const char* what, const std::vector<double>& lateness)
{
    std::printf("  %-26s median %5.2f ms, p99 %5.2f ms, max %5.2f ms (%zu waits)\n", what, median(lateness),
                percentile(lateness, 0.99), percentile(lateness, 1.0), lateness.size());
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("MMP_PORT", "sim");
    preparePlatform();
    TimedApplication application(argc, argv);
    prepareApplicationForTest(QStringLiteral("bench_player"));

    std::printf("script player, simulated port, log pane shown (platform %s)\n",
                qPrintable(QGuiApplication::platformName()));
    const Gaps bare = bareTicks();
    const Playback player = playerRows();
    printGaps("bare 1 ms precise QTimer:", bare, "ticks/s");
    printGaps("player, 2000 data rows:", player.gaps, "rows/s ");
    std::printf("  rows/s against 1,000:     %6.3f (goal >= 0.990)\n", player.gaps.perSecond / 1000);
    std::printf("  rows/s against bare timer: %6.3f\n", player.gaps.perSecond / bare.perSecond);
    std::printf("  GUI thread per row: the row's event median %.0f us, p99 %.0f us (goal median <= 100 us);\n"
                "    all of the thread's CPU time (repaints, deferred updates, event loop) %.0f us\n",
                player.rowUsMedian, player.rowUsP99, player.cpuUsPerRow);

    std::printf("lateness of a %d ms wait (goal: player median <= 0.3 ms)\n", WaitMilliseconds);
    printLateness("bare precise single shot:", bareSingleShotLateness());
    printLateness("player, wait row to next:", playerWaitLateness());
    return 0;
}
