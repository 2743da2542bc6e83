#include "port/DataRegister.h"

#include "log/LogSink.h"
#include "port/Registers.h"
#include "port/mmp.h"

std::uint8_t PortData = 0;

namespace {

std::uint8_t readDataByte() { return static_cast<std::uint8_t>(MMPInp(DataPort) & 0xFF); }

}  // namespace

void WriteDataByte(std::uint8_t value)
{
    PortData = value;
    MMPOutp(DataPort, PortData);
}

void LineOn(int line)
{
    WriteDataByte(static_cast<std::uint8_t>(readDataByte() & ~(1u << line)));
}

void LineOff(int line)
{
    WriteDataByte(static_cast<std::uint8_t>(readDataByte() | (1u << line)));
}

void ReadBackLine(LogSink& log)
{
    log.AppendLogLine(readBackText(MMPInp(DataPort)));
}

void UnrecordedAllOff(LogSink& log)
{
    MMPOutp(DataPort, 0xFF);
    log.AppendLogLine(QStringLiteral("  outp(0x378, 0xff)"));
    ReadBackLine(log);
}
