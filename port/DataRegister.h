#pragma once

#include <cstdint>

class LogSink;

// The program's record of the data register. It is not kept in step with the register: only the
// recording operations below and the Test Panel's scan change it.
extern std::uint8_t PortData;

// Sets PortData to value, then writes it to the data register.
void WriteDataByte(std::uint8_t value);
// Read-modify-write of line n (0..7) on the register as read, not on PortData; lines are active-low.
void LineOn(int line);
void LineOff(int line);
// Reads the data register once and logs the value read.
void ReadBackLine(LogSink& log);
// Writes 0xFF without recording it, then logs "  outp(0x378, 0xff)" and the read-back line.
void UnrecordedAllOff(LogSink& log);
