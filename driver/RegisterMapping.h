#pragma once

#include <ieee1284.h>

#include <cstdint>

// libieee1284 hands the status and control lines over in line logic, with the bits that the port
// hardware inverts flipped back. The program wants the bytes exactly as the registers hold them,
// so those inversions are undone here, in both directions.
namespace mmp {

constexpr std::uint8_t statusRegisterFromLibrary(int libraryStatus)
{
    return static_cast<std::uint8_t>(libraryStatus ^ S1284_INVERTED);
}

// Only the four line bits of the control register reach the port through libieee1284; the
// interrupt-enable and direction bits (4 and 5) and the unused upper two are dropped.
constexpr std::uint8_t controlForLibrary(std::uint8_t controlRegister)
{
    return static_cast<std::uint8_t>((controlRegister & 0x0F) ^ C1284_INVERTED);
}

constexpr std::uint8_t controlRegisterFromLibrary(int libraryControl)
{
    return static_cast<std::uint8_t>((libraryControl ^ C1284_INVERTED) & 0x0F);
}

}  // namespace mmp
