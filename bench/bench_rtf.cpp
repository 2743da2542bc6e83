// Saving a full log: the RTF writer and the whole save against merely copying the same bytes to a file.

#include "log/ActivityLog.h"
#include "log/LogFileSaver.h"
#include "log/RtfWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Runs = 21;

double medianMilliseconds(const std::function<void()>& step)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Lines like the ones the program writes, and a last one that fills the log to its capacity.
void fillLog(QTextDocument& document, const QTextCharFormat& lineFormat)
{
    ActivityLog log(document, lineFormat);
    const QStringList lines{QStringLiteral("  outp(0x378, 0xff)"), QStringLiteral("  inp(0x378) = 0xF7"),
                            QStringLiteral("Status Byte  inp(0x379) = 0x7F"), QStringLiteral("Waiting  250   (ms)")};
    for (int i = 0; log.length() + lines[i % lines.size()].size() + 1 <= log.capacity(); ++i)
        log.AppendLogLine(lines[i % lines.size()]);
    log.AppendLogLine(QString(log.capacity() - log.length() - 1, u'x'));
}

void copyBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const RtfDefaults defaults{QFont(QStringLiteral("Tahoma"), 8), QColor(255, 255, 0), QColor(0, 0, 128)};
    QTextCharFormat lineFormat;
    lineFormat.setFont(defaults.font);
    lineFormat.setForeground(defaults.text);
    QTextDocument document;
    document.setDefaultFont(defaults.font);
    fillLog(document, lineFormat);

    const QTemporaryDir dir;
    const QByteArray rtf = writeRtf(document, defaults);
    LogFileSaver saver(document, defaults, {}, {});

    const double writer = medianMilliseconds([&] { writeRtf(document, defaults); });
    const double save = medianMilliseconds([&] { saver.WriteLogFile(dir.filePath(QStringLiteral("log.rtf"))); });
    const double copy = medianMilliseconds([&] { copyBytes(dir.filePath(QStringLiteral("copy.rtf")), rtf); });

    std::printf("log: %d characters in %d lines, RTF %lld bytes; median of %d runs\n",
                document.characterCount() - 1, document.blockCount(), static_cast<long long>(rtf.size()), Runs);
    std::printf("RTF writer alone:                   %8.3f ms\n", writer);
    std::printf("whole save (write, sync, replace):  %8.3f ms\n", save);
    std::printf("copying the same bytes to a file:   %8.3f ms\n", copy);
    std::printf("whole save / copy:                  %8.1f\n", save / copy);
    std::printf("RTF writer / copy:                  %8.1f\n", writer / copy);
    return 0;
}
