#pragma once

#include "port/RegisterMap.h"

#include <QString>
#include <cstdint>

class LogSink;

// The program's one way to the parallel port: the driver's five operations, the record of the data
// register (PortData) and the operations on it, and the read-back line. Nothing else calls the driver.
// Every operation runs to completion on the GUI thread; lines are active-low (a line is on when its
// bit is 0).
class Port {
public:
    Port() = default;
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // The driver initialisation's port accesses and log lines: open, identification, the control and
    // data registers, the read-back line. False when the open failed ("  ERROR: can't open!" logged);
    // it may then be tried again. PortData is left alone.
    bool initialise(LogSink& log);
    // Releases the driver, whether or not it was ever opened.
    void close();

    // The program's record of the data register. It is not kept in step with the register: only the
    // recording operations below and the Test Panel change it.
    std::uint8_t portData() const { return PortData; }
    // Records a value without writing it.
    void setPortData(std::uint8_t value) { PortData = value; }

    // Sets PortData to value, then writes it to the data register.
    void WriteDataByte(std::uint8_t value);
    // Read-modify-write of line n (0..7) on the register as read, not on PortData.
    void LineOn(int line);
    void LineOff(int line);
    // Reads the data register once and logs the whole value read.
    void ReadBackLine(LogSink& log);
    // Writes 0xFF without recording it, then logs "  outp(0x378, 0xff)" and the read-back line.
    void UnrecordedAllOff(LogSink& log);
    // Writes PortData to the data register and logs nothing: the end of a Test Panel scan step.
    void writeRecordedByte();
    // The low 8 bits of the status register.
    std::uint8_t readStatus();

private:
    std::uint8_t readDataByte();

    std::uint8_t PortData = 0;
    // Written only by the driver's identification call; zero until then.
    char DriverIdBuffer[DriverIdSize] = {};
};
