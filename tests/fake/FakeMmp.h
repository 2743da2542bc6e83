#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// Test control of the recording driver. Every call is journaled as text such as
// "MMPOutp(0x378,0xFF)", "MMPOutp(0x37A,0x01)" or "MMPInp(0x379)"; reads return scripted values.
namespace fakemmp {

void reset();                                   // empty journal, registers 0xFF, opens succeed, no ID
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
