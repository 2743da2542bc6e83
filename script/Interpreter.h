#pragma once

#include <QtGlobal>
#include <functional>

class LogSink;
class Port;

// Starts the wait that holds the player before its next row; milliseconds are 1..2147483647.
using StartWait = std::function<void(int milliseconds)>;

// Carries out one script row on the data register and appends exactly one line to the log.
// A wait of 0 ms or less would never end, so such a row starts none and is reported as invalid.
void executeScriptCommand(qint32 command, qint32 data, Port& port, LogSink& log, const StartWait& startWait);
