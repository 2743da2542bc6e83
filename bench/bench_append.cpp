// AppendLogLine cost at 1k, 16k and 64k characters of log: it must not grow with the log.
#include "bench/BenchStats.h"
#include "ui/LogPane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

struct Cost {
    double medianUs;
    double p99Us;
};

Cost appendCostAt(int logLength)
{
    LogPane pane;
    pane.resize(537, 161);
    pane.show();
    const QString filler = QStringLiteral("  inp(0x378) = 0xFF");
    while (pane.activityLog().length() + filler.size() + 1 <= logLength)
        pane.AppendLogLine(filler);
    QCoreApplication::processEvents();

    const QString line = QStringLiteral("  inp(0x378) = 0xFE");
    const int appends = std::min(300, (pane.activityLog().capacity() - pane.activityLog().length()) / 20);
    std::vector<double> samples;
    QElapsedTimer clock;
    for (int index = 0; index < appends; ++index) {
        clock.start();
        pane.AppendLogLine(line);
        samples.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e3);
    }
    return {median(samples), percentile(samples, 0.99)};
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const int sizes[] = {1024, 16 * 1024, 64 * 1024 - 300 * 20};
    std::vector<Cost> costs;
    std::printf("AppendLogLine per append (platform %s)\n", qPrintable(QGuiApplication::platformName()));
    for (const int size : sizes) {
        costs.push_back(appendCostAt(size));
        std::printf("  log of %6d characters: median %7.2f us, p99 %7.2f us\n", size, costs.back().medianUs,
                    costs.back().p99Us);
    }
    std::printf("  64k/1k median ratio: %.2f (goal below 1.5)\n", costs.back().medianUs / costs.front().medianUs);
    return 0;
}
