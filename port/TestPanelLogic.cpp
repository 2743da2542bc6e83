#include "port/TestPanelLogic.h"

#include "log/LogSink.h"
#include "port/Port.h"
#include "port/Registers.h"
#include "port/ScanStep.h"

#include <QTimer>

TestPanelLogic::TestPanelLogic(Port& port, LogSink& log, QTimer& pollTimer, QTimer& scanTimer, QObject* parent)
    : QObject(parent), port_(port), log_(log), pollTimer_(pollTimer), scanTimer_(scanTimer)
{
    Q_ASSERT(&pollTimer != &scanTimer);
}

bool TestPanelLogic::lineBoxChecked(int line) const
{
    Q_ASSERT(line >= 0 && line < 8);
    return checked_[static_cast<std::size_t>(line)];
}

bool TestPanelLogic::isScanning() const
{
    return scanTimer_.isActive();
}

bool TestPanelLogic::isPolling() const
{
    return pollTimer_.isActive();
}

void TestPanelLogic::created()
{
    pollTimer_.stop();
}

void TestPanelLogic::shown()
{
    pollTimer_.start();
}

void TestPanelLogic::closed()
{
    pollTimer_.stop();
    scanTimer_.stop();
    allOff();
    port_.setPortData(0xFF);
}

void TestPanelLogic::runLineHandler(int line)
{
    if (lineBoxChecked(line))
        port_.LineOn(line);
    else
        port_.LineOff(line);
    port_.ReadBackLine(log_);
}

void TestPanelLogic::lineBoxClicked(int line, bool checked)
{
    Q_ASSERT(line >= 0 && line < 8);
    checked_[static_cast<std::size_t>(line)] = checked;
    runLineHandler(line);
}

void TestPanelLogic::setLineBox(int line, bool checked)
{
    if (lineBoxChecked(line) == checked)
        return;
    checked_[static_cast<std::size_t>(line)] = checked;
    emit lineBoxChanged(line, checked);
    runLineHandler(line);
}

void TestPanelLogic::allOff()
{
    port_.UnrecordedAllOff(log_);
    for (int line = 0; line < 8; ++line)
        setLineBox(line, false);
}

void TestPanelLogic::pollStatus()
{
    const std::uint8_t status = port_.readStatus();
    log_.AppendLogLine(QStringLiteral("Status Byte  inp(0x379) = 0x") + registerHex(status));
    emit statusRead(status);
}

void TestPanelLogic::toggleScan()
{
    if (!isScanning()) {
        log_.AppendLogLine(QStringLiteral("Scan Mode.....  "));
        scanTimer_.start();
        port_.setPortData(0xFF);
        return;
    }
    log_.AppendLogLine(QStringLiteral("End Scan Mode.....  "));
    scanTimer_.stop();
    allOff();
}

void TestPanelLogic::scanStep()
{
    const ScanPosition next = nextScanPosition({port_.portData(), scanDescending()});
    port_.setPortData(next.portData);
    ScanDescending = next.descending ? 1 : 0;
    // Each box's handler may change PortData; the later boxes are tested against the new value.
    for (int line = 0; line < 8; ++line)
        setLineBox(line, showsLineAlone(port_.portData(), line));
    // The step's own write is the one write the log does not echo.
    port_.writeRecordedByte();
}
