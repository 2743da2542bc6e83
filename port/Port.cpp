#include "port/Port.h"

#include "log/LogSink.h"
#include "port/Registers.h"
#include "port/mmp.h"

bool Port::initialise(LogSink& log)
{
    log.AppendLogLine(QStringLiteral("Try to open the driver..."));
    if ((MMPOpen() & 0xFF) != 0) {
        log.AppendLogLine(QStringLiteral("  ERROR: can't open!"));
        return false;
    }
    log.AppendLogLine(QStringLiteral("  Open OK!"));
    log.AppendLogLine(QStringLiteral("Try to get driver ID..."));
    MMPGetID(DriverIdBuffer);
    log.AppendLogLine(QStringLiteral("  ID = ") + driverIdText(DriverIdBuffer));
    log.AppendLogLine(QStringLiteral("  outp(0x37a, 0x01)"));
    MMPOutp(ControlPort, 0x01);
    UnrecordedAllOff(log);
    return true;
}

void Port::close()
{
    MMPClose();
}

std::uint8_t Port::readDataByte()
{
    return static_cast<std::uint8_t>(MMPInp(DataPort) & 0xFF);
}

void Port::WriteDataByte(std::uint8_t value)
{
    PortData = value;
    MMPOutp(DataPort, PortData);
}

void Port::LineOn(int line)
{
    Q_ASSERT(line >= 0 && line < 8);
    WriteDataByte(static_cast<std::uint8_t>(readDataByte() & ~(1u << line)));
}

void Port::LineOff(int line)
{
    Q_ASSERT(line >= 0 && line < 8);
    WriteDataByte(static_cast<std::uint8_t>(readDataByte() | (1u << line)));
}

void Port::ReadBackLine(LogSink& log)
{
    log.AppendLogLine(readBackText(MMPInp(DataPort)));
}

void Port::UnrecordedAllOff(LogSink& log)
{
    MMPOutp(DataPort, 0xFF);
    log.AppendLogLine(QStringLiteral("  outp(0x378, 0xff)"));
    ReadBackLine(log);
}

void Port::writeRecordedByte()
{
    MMPOutp(DataPort, PortData);
}

std::uint8_t Port::readStatus()
{
    return static_cast<std::uint8_t>(MMPInp(StatusPort) & 0xFF);
}
