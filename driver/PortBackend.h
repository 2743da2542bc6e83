#pragma once

#include "port/RegisterMap.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace mmp {

constexpr std::int32_t DataRegister = DataPort;
constexpr std::int32_t StatusRegister = StatusPort;
constexpr std::int32_t ControlRegister = ControlPort;

// What a read returns when there is nothing to read: a closed port, an address that is not one of
// the three registers, or a failed access. It is also what an absent port reads as.
constexpr std::uint32_t NothingRead = 0xFF;

// One way of reaching the three port registers. Values are the raw PC register bytes.
class PortBackend {
public:
    virtual ~PortBackend() = default;
    virtual bool open() = 0;    // false after one line on stderr says why and what to do
    virtual void close() = 0;   // safe when not open
    virtual std::uint32_t read(std::int32_t address) = 0;
    virtual void write(std::int32_t address, std::uint8_t value) = 0;
    virtual std::string description() const = 0;  // shown in the identification text
};

// The only output of the library: the caller sees just a non-zero status, so the user needs the reason.
inline void reportOpenFailure(const std::string& reason)
{
    std::fprintf(stderr, "libmmp: %s\n", reason.c_str());
}

}  // namespace mmp
