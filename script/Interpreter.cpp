#include "script/Interpreter.h"

#include "log/LogSink.h"
#include "port/DataRegister.h"

#include <QString>

namespace {

enum Command : qint32 {
    WriteByte = 1,
    FirstLineOn = 2,
    LastLineOn = 9,
    FirstLineOff = 10,
    LastLineOff = 17,
    AllLinesOn = 18,
    AllLinesOff = 19,
    Wait = 20,
};

QString waitLine(qint32 milliseconds)
{
    return QStringLiteral("Waiting  ") + QString::asprintf("%d  ", milliseconds) + QStringLiteral(" (ms)");
}

// Carries out the port action of a register command; false when the code names none.
bool changeRegister(qint32 command)
{
    if (command >= FirstLineOn && command <= LastLineOn)
        LineOn(command - FirstLineOn);
    else if (command >= FirstLineOff && command <= LastLineOff)
        LineOff(command - FirstLineOff);
    else if (command == AllLinesOn)
        WriteDataByte(0x00);
    else if (command == AllLinesOff)
        WriteDataByte(0xFF);
    else
        return false;
    return true;
}

}  // namespace

void executeScriptCommand(qint32 command, qint32 data, LogSink& log, const StartWait& startWait)
{
    if (command == WriteByte) {
        if (data < 0 || data > 0xFF) {
            log.AppendLogLine(QStringLiteral("Invalid Data"));
            return;
        }
        WriteDataByte(static_cast<std::uint8_t>(data));
        ReadBackLine(log);
    } else if (command == Wait) {
        if (data <= 0) {
            log.AppendLogLine(QStringLiteral("Invalid Data"));
            return;
        }
        startWait(data);
        log.AppendLogLine(waitLine(data));
    } else if (changeRegister(command)) {
        ReadBackLine(log);
    } else {
        log.AppendLogLine(QStringLiteral("Unrecognized Command"));
    }
}
