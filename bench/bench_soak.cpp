// Memory over a long session: a looping script on the simulated port with a short wait row, the Test Panel
// shown and scanning, the log cleared the way a user does it (Ctrl+A, Delete) whenever it nears its
// capacity. Prints the resident memory every 10 s and, after the first minute, its slope per minute.
//
//   bench_soak [minutes]     2 by default; 60 for a real soak
#include "app/Application.h"
#include "script/Commands.h"
#include "tests/ProgramTest.h"
#include "tests/ScriptFile.h"
#include "tests/WindowParts.h"
#include "ui/LogPane.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTimer>
#include <cstdio>
#include <vector>

namespace {

constexpr int SoakRows = 200;
constexpr int WaitMilliseconds = 5;
constexpr int SampleSeconds = 10;
constexpr int SettleSeconds = 60;
// Cleared with this much room left: far more than is logged between two looks at the log.
constexpr int ClearMargin = 8192;
constexpr int LookMilliseconds = 50;

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

struct Sample {
    double minutes;
    double mib;
};

// Least-squares slope in MiB per minute.
double slope(const std::vector<Sample>& samples)
{
    if (samples.size() < 2)
        return 0;
    double meanX = 0;
    double meanY = 0;
    for (const Sample& sample : samples) {
        meanX += sample.minutes;
        meanY += sample.mib;
    }
    meanX /= double(samples.size());
    meanY /= double(samples.size());
    double covariance = 0;
    double variance = 0;
    for (const Sample& sample : samples) {
        covariance += (sample.minutes - meanX) * (sample.mib - meanY);
        variance += (sample.minutes - meanX) * (sample.minutes - meanX);
    }
    return covariance / variance;
}

void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

std::vector<ScriptStep> loopingScript()
{
    std::vector<ScriptStep> rows;
    for (int index = 0; index < SoakRows - 1; ++index)
        // Every line command in turn: D0 on .. D7 on, D0 off .. D7 off.
        rows.push_back({ScriptCommand::FirstLineOn + index % 16, 0});
    rows.push_back({ScriptCommand::Wait, WaitMilliseconds});
    return rows;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("MMP_PORT", "sim");
    preparePlatform();
    QApplication application(argc, argv);
    const double minutes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 2;
    if (minutes <= 0) {
        std::fprintf(stderr, "usage: bench_soak [minutes]\n");
        return 2;
    }
    prepareApplicationForTest(QStringLiteral("bench_soak"));
    writeFreshScript(loopingScript());

    ProgramWindows windows;
    windows.showMain();
    LogPane& pane = *part<LogPane>(windows.main, "RichEdit1");
    windows.main.SpeedButton1Click();
    windows.testPanel.showPanel();
    windows.testPanel.SpeedButton2Click();
    part<QCheckBox>(windows.main, "LoopBox")->setChecked(true);
    windows.main.PlayClick();

    std::printf("soak for %.0f min: %d-row looping script with a %d ms wait row, Test Panel scanning, log "
                "cleared near %d characters (platform %s)\n",
                minutes, SoakRows, WaitMilliseconds, pane.activityLog().capacity() - ClearMargin,
                qPrintable(QGuiApplication::platformName()));

    int clears = 0;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (pane.activityLog().length() < pane.activityLog().capacity() - ClearMargin)
            return;
        pressKey(&pane, Qt::Key_A, Qt::ControlModifier);
        pressKey(&pane, Qt::Key_Delete, Qt::NoModifier);
        ++clears;
    });
    look.start(LookMilliseconds);

    QElapsedTimer clock;
    clock.start();
    std::vector<Sample> settled;
    const double startMiB = residentMiB();
    std::printf("  %6.1f min  %7.2f MiB\n", 0.0, startMiB);
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        const double elapsed = double(clock.elapsed()) / 60000;
        const double mib = residentMiB();
        if (elapsed * 60 >= SettleSeconds - 1)
            settled.push_back({elapsed, mib});
        std::printf("  %6.1f min  %7.2f MiB  %4d clears", elapsed, mib, clears);
        if (settled.size() >= 2)
            std::printf("  slope since minute 1: %+.3f MiB/min", slope(settled));
        std::printf("%s\n", part<QTimer>(windows.main, "Timer2")->isActive() || part<QTimer>(windows.main, "Timer1")->isActive() ? "" : "  (stopped)");
        std::fflush(stdout);
        if (elapsed >= minutes)
            QCoreApplication::quit();
    });
    sample.start(SampleSeconds * 1000);
    QCoreApplication::exec();

    std::printf("resident memory: %.2f MiB at start, %.2f MiB at the end; %d clears\n", startMiB,
                settled.empty() ? residentMiB() : settled.back().mib, clears);
    std::printf("slope after the first minute: %+.3f MiB/min (goal: within noise, well under 0.5)\n", slope(settled));
    return 0;
}
