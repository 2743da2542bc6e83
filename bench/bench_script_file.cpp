// Saving and loading a 100,000-row script through the script file commands (Load including the replacement
// of the rows in the database and the data set's new reading), against reading the file's bytes alone.
#include "bench/BenchStats.h"
#include "script/DataSet.h"
#include "script/ScriptCsv.h"
#include "script/ScriptDatabase.h"
#include "script/ScriptFileCommands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int ScriptRows = 100000;
constexpr int Repeats = 7;

QList<ScriptRow> benchRows()
{
    QList<ScriptRow> rows;
    rows.reserve(ScriptRows);
    for (int line = 1; line <= ScriptRows; ++line)
        rows.append({line, line % 2 ? 20 : 2 + line % 16, line % 2 ? std::optional<qint32>(150) : std::nullopt});
    return rows;
}

double processCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall-clock milliseconds of the step; cpu gets the processor time it took, which other work on a busy
// machine does not inflate.
double millisecondsOf(const std::function<void()>& step, double* cpu = nullptr)
{
    QElapsedTimer timer;
    const double cpuBefore = processCpuMilliseconds();
    timer.start();
    step();
    if (cpu)
        *cpu = processCpuMilliseconds() - cpuBefore;
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir directory;
    const QString file = directory.filePath(QStringLiteral("bench.csv"));
    const QString copy = directory.filePath(QStringLiteral("saved.csv"));
    writeScriptFile(file, benchRows());

    ScriptDatabase database(directory.filePath(QStringLiteral("Quillet2005.db")));
    DataSet script(database, QStringLiteral("Script"), QStringLiteral("ID"));
    script.open();
    QString answer;
    ScriptFileCommands commands(
        script, database,
        {[&answer](const QString&) { return answer; }, [&answer](const QString&) { return answer; },
         [](const QString&) { return true; }, [](const QString&) { return true; }},
        [] {});

    std::vector<double> reads;
    std::vector<double> parses;
    std::vector<double> loads;
    std::vector<double> loadCpus;
    std::vector<double> saves;
    std::vector<double> replaces;
    std::vector<double> rereads;
    qsizetype bytes = 0;
    for (int repeat = 0; repeat < Repeats; ++repeat) {
        reads.push_back(millisecondsOf([&] {
            QFile input(file);
            input.open(QIODevice::ReadOnly);
            bytes = input.readAll().size();
        }));
        parses.push_back(millisecondsOf([&] { readScriptFile(file); }));
        answer = file;
        double cpu = 0;
        loads.push_back(millisecondsOf([&] { commands.load(); }, &cpu));
        loadCpus.push_back(cpu);
        const QList<ScriptRow> rows = readScriptFile(file).rows;
        replaces.push_back(millisecondsOf([&] { database.replaceScript(rows); }));
        rereads.push_back(millisecondsOf([&] { script.reread(); }));
        answer = copy;
        saves.push_back(millisecondsOf([&] { commands.save(); }));
    }
    if (script.rowCount() != ScriptRows || readScriptFile(copy).rows != benchRows()) {
        std::fprintf(stderr, "the saved script differs from the loaded one\n");
        return 1;
    }
    const double read = median(reads);
    std::printf("%d rows (%lld bytes), median of %d runs\n", ScriptRows, static_cast<long long>(bytes), Repeats);
    std::printf("  read the file's bytes alone:               %8.2f ms\n", read);
    std::printf("  read and check the file:                   %8.2f ms  (%6.1f x)\n", median(parses), median(parses) / read);
    std::printf("  Load: read, check, replace rows, show them: %8.2f ms  (%6.1f x)\n", median(loads), median(loads) / read);
    std::printf("    processor time of the Load:                %8.2f ms\n", median(loadCpus));
    std::printf("    of which: replace the rows in the database %8.2f ms\n", median(replaces));
    std::printf("              the data set reads them again    %8.2f ms\n", median(rereads));
    std::printf("  Save: take the rows, write the file whole:  %8.2f ms  (%6.1f x)\n", median(saves), median(saves) / read);
    return 0;
}
