// What the Test Panel's logic costs over the bare driver calls they make: the scan step (every 100 ms)
// and the status poll (every second), on the simulated port, with the log discarded and with the real
// activity log.

#include "log/ActivityLog.h"
#include "port/Port.h"
#include "port/TestPanelLogic.h"
#include "port/mmp.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

// Batches small enough that their lines fit in the activity log, which is emptied between batches.
constexpr int Batches = 200;
constexpr int CyclesPerBatch = 50;
constexpr int PollsPerBatch = 1000;

// Over the sixteen steps of the cycle: fourteen steps of four reads and three writes, two turn-around
// steps of one write; two read-back lines in each of the fourteen.
constexpr int CycleSteps = 16;
constexpr int CycleReads = 14 * 4;
constexpr int CycleWrites = 14 * 3 + 2;
constexpr int CycleLines = 14 * 2;

struct DiscardingLog : LogSink {
    void AppendLogLine(const QString&) override {}
};

// Nanoseconds per run, timing only the batches after a first one that warms up; between batches
// reset() runs untimed.
double nanosecondsPerRun(int runsPerBatch, const std::function<void()>& run, const std::function<void()>& reset)
{
    qint64 total = 0;
    for (int batch = -1; batch < Batches; ++batch) {
        reset();
        QElapsedTimer clock;
        clock.start();
        for (int index = 0; index < runsPerBatch; ++index)
            run();
        if (batch >= 0)
            total += clock.nsecsElapsed();
    }
    return static_cast<double>(total) / (Batches * runsPerBatch);
}

void bareCycle()
{
    for (int step = 0; step < CycleSteps - 2; ++step) {
        for (int handler = 0; handler < 2; ++handler) {
            MMPInp(DataPort);
            MMPOutp(DataPort, 0xFF);
            MMPInp(DataPort);
        }
        MMPOutp(DataPort, 0xFF);
    }
    MMPOutp(DataPort, 0x7F);
    MMPOutp(DataPort, 0xFE);
}

struct Figures {
    double handler;  // ns per handler run
    double bare;     // ns for the same driver calls alone
    double calls;    // driver calls per run
};

void print(const char* what, const char* logKind, const Figures& figures)
{
    std::printf("%-12s %-13s %8.3f us per run, %6.3f us per driver call; bare calls %7.3f us per run "
                "(%6.3f us per call); overhead %7.3f us per run (x%.1f)\n",
                what, logKind, figures.handler / 1000, figures.handler / 1000 / figures.calls, figures.bare / 1000,
                figures.bare / 1000 / figures.calls, (figures.handler - figures.bare) / 1000,
                figures.handler / figures.bare);
}

void measure(LogSink& log, const std::function<void()>& emptyLog, const char* logKind)
{
    Port port;
    QTimer pollTimer;
    QTimer scanTimer;
    TestPanelLogic panel(port, log, pollTimer, scanTimer);

    panel.toggleScan();
    const double cycle = nanosecondsPerRun(
        CyclesPerBatch,
        [&panel] {
            for (int step = 0; step < CycleSteps; ++step)
                panel.scanStep();
        },
        emptyLog);
    const double bare = nanosecondsPerRun(CyclesPerBatch, bareCycle, [] {});
    print("scan step", logKind,
          {cycle / CycleSteps, bare / CycleSteps, double(CycleReads + CycleWrites) / CycleSteps});

    const double poll = nanosecondsPerRun(PollsPerBatch, [&panel] { panel.pollStatus(); }, emptyLog);
    const double bareRead = nanosecondsPerRun(PollsPerBatch, [] { MMPInp(StatusPort); }, [] {});
    print("status poll", logKind, {poll, bareRead, 1});
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The driver chooses its port on the first call.
    qputenv("MMP_PORT", "sim");
    QGuiApplication application(argc, argv);

    std::printf("scan: %d x %d cycles; poll: %d x %d polls. A scan step averages the 16-step cycle: %.2f driver "
                "calls and %.2f log lines (7 and 2 in its usual course)\n",
                Batches, CyclesPerBatch, Batches, PollsPerBatch, double(CycleReads + CycleWrites) / CycleSteps,
                double(CycleLines) / CycleSteps);

    MMPOpen();
    DiscardingLog discarded;
    measure(discarded, [] {}, "log discarded");

    QTextDocument document;
    ActivityLog activityLog(document, QTextCharFormat());
    measure(activityLog, [&document] { document.clear(); }, "activity log");
    MMPClose();
    return 0;
}
