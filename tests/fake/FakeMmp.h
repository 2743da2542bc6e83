#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// The tests' recording port driver, with the same five entry points as ours. The unit tests link it
// statically and steer it through the functions below; the end-to-end tests load it as libmmp.so.1 in
// place of ours. Every call is journaled with its arguments and result:
//     MMPOpen() = 0
//     MMPGetID(buffer) = 0
//     MMPOutp(0x37A, 0x01) = 0
//     MMPInp(0x378) = 0xFF
//     MMPInp(0x379) = 0x78
//     MMPClose() = 0
// When the environment variable MMP_JOURNAL names a file, each line is also appended to it and flushed
// at once, so that a test can follow a running program; the first such line says so on standard error.
namespace fakemmp {

// Empty journal; the data register holds 0xFF and the control register 0x0C, both reading back what is
// written; the status register reads 0x78 (bits that are not all alike); any other port reads 0xFF;
// opens succeed; MMPGetID writes "Recording driver of the tests".
void reset();
const std::vector<std::string>& journal();
std::vector<std::string> takeJournal();         // the journal so far, then empty it

void setOpenResults(std::deque<std::int32_t> results);  // consumed one per MMPOpen; 0 once empty
void setId(std::optional<std::vector<char>> bytes);     // written by MMPGetID; nullopt writes nothing
void setStatus(std::uint32_t value);                    // what MMPInp(0x379) returns
void setDataRegister(std::uint32_t value);              // what the data lines carry now
void setUpperReadBits(std::uint32_t bits);              // ORed into every read of 0x378
void queueRead(std::uint32_t value);                    // returned by the next read of 0x378 instead
std::uint32_t dataRegister();

}  // namespace fakemmp
