// Script playback on the simulated port with the log pane shown: rows per second against a bare 1 ms
// precise timer's ticks per second, and the lateness of 500 ms waits against a bare 500 ms single shot.
#include "app/Application.h"
#include "tests/ScriptFile.h"
#include "bench/BenchStats.h"
#include "core/Failure.h"
#include "tests/WindowParts.h"
#include "ui/LogPane.h"
#include "script/Commands.h"
#include "script/ScriptDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int PlayedRows = 2000;
constexpr int Waits = 20;
constexpr int WaitMilliseconds = 500;
constexpr int BareTickMilliseconds = 3000;

struct Row {
    int command;
    int data;
};

// Where the GUI thread's time goes while a script plays: step ticks, repaints, everything else.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    QObject* stepTimer = nullptr;
    qint64 stepNs = 0;
    qint64 paintNs = 0;
    qint64 otherNs = 0;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!stepTimer || depth_ > 0)
            return QApplication::notify(receiver, event);
        ++depth_;
        QElapsedTimer clock;
        clock.start();
        const bool handled = QApplication::notify(receiver, event);
        const qint64 elapsed = clock.nsecsElapsed();
        --depth_;
        if (receiver == stepTimer && event->type() == QEvent::Timer)
            stepNs += elapsed;
        else if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint)
            paintNs += elapsed;
        else
            otherNs += elapsed;
        return handled;
    }

private:
    int depth_ = 0;
};

TimedApplication* timedApplication()
{
    return static_cast<TimedApplication*>(QCoreApplication::instance());
}

double nowMs(const QElapsedTimer& clock)
{
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Plays the script from its first row in a shown main window until the player stops; onLine is told of
// every log line as it is appended.
void play(const std::vector<Row>& rows, const std::function<void(const QString& line)>& onLine)
{
    writeFreshScript(rows);
    ProgramWindows windows;
    windows.showMain();
    QTextDocument& document = *part<LogPane>(windows.main, "RichEdit1")->document();
    int lines = 0;
    QObject::connect(&document, &QTextDocument::contentsChanged, [&] {
        // The last block is the empty one after the closing line break.
        while (lines < document.blockCount() - 1)
            onLine(document.findBlockByNumber(lines++).text());
    });
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!part<QTimer>(windows.main, "Timer2")->isActive() && !part<QTimer>(windows.main, "Timer1")->isActive())
            loop.quit();
    });
    watch.start(50);
    timedApplication()->stepTimer = part<QTimer>(windows.main, "Timer2");
    windows.main.PlayClick();
    loop.exec();
    timedApplication()->stepTimer = nullptr;
}

double bareTicksPerSecond()
{
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(1);
    int ticks = 0;
    QElapsedTimer clock;
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 1)
            clock.start();
        else if (nowMs(clock) >= BareTickMilliseconds)
            loop.quit();
    });
    timer.start();
    loop.exec();
    return (ticks - 1) / (nowMs(clock) / 1000);
}

struct PlaybackRate {
    double rowsPerSecond;
    double stepUs;
    double repaintUs;
    double otherUs;
};

PlaybackRate playerRate()
{
    std::vector<Row> rows;
    // Every line command in turn: D0 on .. D7 on, D0 off .. D7 off.
    for (int index = 0; index < PlayedRows; ++index)
        rows.push_back({ScriptCommand::FirstLineOn + index % 16, 0});
    QElapsedTimer sinceFirstRow;
    int lines = 0;
    double lastMs = 0;
    play(rows, [&](const QString&) {
        if (++lines == 1)
            sinceFirstRow.start();
        lastMs = nowMs(sinceFirstRow);
    });
    if (lines != PlayedRows)
        std::printf("  warning: %d rows logged of %d\n", lines, PlayedRows);
    const TimedApplication& timed = *timedApplication();
    const auto perRowUs = [lines](qint64 ns) { return static_cast<double>(ns) / 1e3 / lines; };
    return {(lines - 1) / (lastMs / 1000), perRowUs(timed.stepNs), perRowUs(timed.paintNs), perRowUs(timed.otherNs)};
}

// From the step that ran the wait row to the step that ran the row after it, less the wait.
std::vector<double> playerWaitLateness()
{
    std::vector<Row> rows;
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

void printLateness(const char* what, const std::vector<double>& lateness)
{
    std::printf("  %-28s median %6.2f ms, p99 %6.2f ms (%zu waits)\n", what, median(lateness),
                percentile(lateness, 0.99), lateness.size());
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("MMP_PORT", "sim");
    TimedApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication(application);
    // A database of the benchmark's own, away from the user's script.
    QCoreApplication::setApplicationName(QStringLiteral("bench_player"));

    std::printf("script player, simulated port, log pane shown (platform %s)\n",
                qPrintable(QGuiApplication::platformName()));
    const double bareTicks = bareTicksPerSecond();
    const PlaybackRate rate = playerRate();
    std::printf("  bare 1 ms precise timer:     %8.1f ticks/s\n", bareTicks);
    std::printf("  player, %d data-line rows: %8.1f rows/s\n", PlayedRows, rate.rowsPerSecond);
    std::printf("  ratio:                       %8.3f (goal >= 0.95)\n", rate.rowsPerSecond / bareTicks);
    std::printf("  GUI thread per row: step %.0f us, repaint %.0f us, other events %.0f us\n", rate.stepUs,
                rate.repaintUs, rate.otherUs);

    std::printf("lateness of a %d ms wait\n", WaitMilliseconds);
    printLateness("bare precise single shot:", bareSingleShotLateness());
    printLateness("player, wait row to next:", playerWaitLateness());
    return 0;
}
