#pragma once

#include <cstdint>

// The three parallel-port registers the program addresses and the size of the driver's identification
// buffer. Shared by the program and the driver library on either side of the driver's entry points, so it
// holds nothing but plain constants.
inline constexpr std::int32_t DataPort = 0x378;
inline constexpr std::int32_t StatusPort = 0x379;
inline constexpr std::int32_t ControlPort = 0x37A;

inline constexpr int DriverIdSize = 256;
