#include "script/Interpreter.h"

#include "log/LogSink.h"
#include "port/Port.h"
#include "script/Commands.h"

#include <QString>

namespace {

QString waitLine(qint32 milliseconds)
{
    return QStringLiteral("Waiting  ") + QString::asprintf("%d  ", milliseconds) + QStringLiteral(" (ms)");
}

// Carries out the port action of a register command; false when the code names none.
bool changeRegister(qint32 command, Port& port)
{
    using namespace ScriptCommand;
    if (command >= FirstLineOn && command <= LastLineOn)
        port.LineOn(command - FirstLineOn);
    else if (command >= FirstLineOff && command <= LastLineOff)
        port.LineOff(command - FirstLineOff);
    else if (command == AllLinesOn)
        port.WriteDataByte(0x00);
    else if (command == AllLinesOff)
        port.WriteDataByte(0xFF);
    else
        return false;
    return true;
}

}  // namespace

void executeScriptCommand(qint32 command, qint32 data, Port& port, LogSink& log, const StartWait& startWait)
{
    Q_ASSERT(startWait);
    if (command == ScriptCommand::WriteByte) {
        if (data < 0 || data > 0xFF) {
            log.AppendLogLine(QStringLiteral("Invalid Data"));
            return;
        }
        port.WriteDataByte(static_cast<std::uint8_t>(data));
        port.ReadBackLine(log);
    } else if (command == ScriptCommand::Wait) {
        if (data <= 0) {
            log.AppendLogLine(QStringLiteral("Invalid Data"));
            return;
        }
        startWait(data);
        log.AppendLogLine(waitLine(data));
    } else if (changeRegister(command, port)) {
        port.ReadBackLine(log);
    } else {
        log.AppendLogLine(QStringLiteral("Unrecognized Command"));
    }
}
