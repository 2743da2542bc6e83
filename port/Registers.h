#pragma once

#include "port/RegisterMap.h"

#include <QString>
#include <cstdint>

// A register value in upper-case hexadecimal, at least two digits, never cut.
QString registerHex(std::uint32_t value);

// "  inp(0x378) = 0x" and the whole 32-bit value read, upper-case, at least two digits.
QString readBackText(std::uint32_t value);

// The identification text: the characters before the first NUL, or all of them without one.
QString driverIdText(const char (&buffer)[DriverIdSize]);
