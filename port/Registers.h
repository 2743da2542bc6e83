#pragma once

#include <QString>
#include <cstdint>

// The three parallel-port registers the program addresses; nothing selects another port.
inline constexpr std::int32_t DataPort = 0x378;
inline constexpr std::int32_t StatusPort = 0x379;
inline constexpr std::int32_t ControlPort = 0x37A;

inline constexpr int DriverIdSize = 256;

// A register value in upper-case hexadecimal, at least two digits, never cut.
QString registerHex(std::uint32_t value);

// "  inp(0x378) = 0x" and the whole 32-bit value read, upper-case, at least two digits.
QString readBackText(std::uint32_t value);

// The identification text: the characters before the first NUL, or all of them without one.
QString driverIdText(const char (&buffer)[DriverIdSize]);
